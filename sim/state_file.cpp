#include "sim/state_file.h"

namespace z4::sim {
namespace {

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  return line;
}

}  // namespace

std::string StateFileText(const Settings& settings) {
  std::string text = "; Z-4 board state\n";
  for (Key key : kKeys) {
    text += KeyName(key);
    text += '=';
    text += ValueText(settings, key);
    text += '\n';
  }
  if (settings.extra_lines != Settings::DefaultExtraLines()) {
    for (const std::string& line : settings.extra_lines) text += "Extra=" + line + "\n";
  }
  return text;
}

StateFileRead ReadStateFile(std::string_view text) {
  StateFileRead read;
  bool extra_seen = false;
  int number = 0;
  while (!text.empty()) {
    const auto lf = text.find('\n');
    const std::string_view line = WithoutLineEnd(text.substr(0, lf));
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    ++number;
    if (line.empty() || line[0] == ';') continue;
    const auto equals = line.find('=');
    const auto key = KeyNamed(line.substr(0, equals));
    std::string reason;
    if (equals != std::string_view::npos && line.substr(0, equals) == "Extra") {
      const std::string_view extra = line.substr(equals + 1);
      const auto colon = extra.find(':');
      if (colon == 0 || colon == std::string_view::npos || KeyNamed(extra.substr(0, colon))) {
        reason = "expected Extra=Key:value with a key other than the seven";
      } else {
        if (!extra_seen) read.settings.extra_lines.clear();
        extra_seen = true;
        read.settings.extra_lines.emplace_back(extra);
      }
    } else if (equals == std::string_view::npos) {
      reason = "expected Key=Value";
    } else if (!key) {
      reason = "unknown key";
    } else if (!SetValue(read.settings, *key, line.substr(equals + 1), Width::kUpTo)) {
      reason = "invalid value";
    }
    if (!reason.empty() && read.error.empty()) {
      read.error = "line " + std::to_string(number) + " \"" + std::string(line) + "\": " + reason;
    }
  }
  return read;
}

}  // namespace z4::sim
