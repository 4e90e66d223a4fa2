#include "sim/settings_file.h"

#include <algorithm>

namespace z4::sim {
namespace {

constexpr std::string_view kBlank = " \t";

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(kBlank);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(kBlank);
  return text.substr(first, last - first + 1);
}

bool Contains(const std::vector<Key>& keys, Key key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// One line of the file as read: its text without the line end, and whether it
// ended in CR LF.
struct Line {
  std::string_view text;
  bool crlf;
};

std::vector<Line> SplitLines(std::string_view file) {
  std::vector<Line> lines;
  while (!file.empty()) {
    const auto lf = file.find('\n');
    if (lf == std::string_view::npos) {
      lines.push_back({file, false});
      break;
    }
    std::string_view line = file.substr(0, lf);
    const bool crlf = !line.empty() && line.back() == '\r';
    if (crlf) line.remove_suffix(1);
    lines.push_back({line, crlf});
    file.remove_prefix(lf + 1);
  }
  return lines;
}

// A line "Key:value" of a key the board keeps among its extra lines gives that
// line its new value; lines of keys the board does not have are ignored.
void TakeExtraLine(Settings& settings, std::string_view body) {
  const std::string_view key = body.substr(0, body.find(':') + 1);
  for (std::string& extra : settings.extra_lines) {
    if (extra.compare(0, key.size(), key) == 0) {
      extra = std::string(body);
      return;
    }
  }
}

}  // namespace

std::string SettingsFileText(const Settings& settings) {
  std::string text = "; Z-4 user settings\r\n";
  for (Key key : kKeys) {
    // A board's file carries more than the utility edits; the utility must
    // keep such lines when it rewrites the file.
    if (key == Key::kFileDate) {
      for (const std::string& line : settings.extra_lines) text += line + "\r\n";
    }
    text += KeyName(key);
    text += ':';
    text += ValueText(settings, key);
    text += "\r\n";
  }
  return text;
}

SettingsFileRead ReadSettingsFile(std::string_view text, const Settings& current) {
  SettingsFileRead read;
  read.settings = current;
  for (const Line& line : SplitLines(text)) {
    const std::string_view body = Trimmed(line.text.substr(0, line.text.find(';')));
    if (body.empty()) continue;
    const auto colon = body.find(':');
    const auto key = KeyNamed(body.substr(0, colon));
    if (colon == std::string_view::npos || !key) {
      read.unknown.emplace_back(line.text);
      if (colon != std::string_view::npos && line.crlf) TakeExtraLine(read.settings, body);
      continue;
    }
    if (Contains(read.applied, *key)) continue;
    if (line.crlf && SetValue(read.settings, *key, body.substr(colon + 1), Width::kExact)) {
      read.applied.push_back(*key);
    } else {
      read.rejected.emplace_back(line.text);
    }
  }
  return read;
}

}  // namespace z4::sim
