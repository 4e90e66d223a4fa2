#include "viewers/level_data.h"

#include <optional>

#include "core/decimal.h"
#include "device/board_file_limits.h"
#include "device/file_exchange.h"

namespace z4 {
namespace {

constexpr std::string_view kKeyNames[] = {"BlackLevel", "MaxLevel"};

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The text before the first ":" without its leading white space; nullopt for a
// line without ":".
std::optional<std::string_view> KeyOf(std::string_view line) {
  const auto colon = line.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::string_view key = line.substr(0, colon);
  while (!key.empty() && IsSpace(key.front())) key.remove_prefix(1);
  return key;
}

// Calls `each` for every line: up to an LF, the LF removed; a last line
// without LF counts too.
template <typename Each>
void ForEachLine(std::string_view bytes, Each each) {
  while (!bytes.empty()) {
    const auto lf = bytes.find('\n');
    if (!each(bytes.substr(0, lf))) return;
    if (lf == std::string_view::npos) return;
    bytes.remove_prefix(lf + 1);
  }
}

void Append(std::string_view field) {
  LevelSeries& series = Levels();
  if (series.count >= kLevelTableSize) return;  // the table is full: the rest is left out
  series.values[static_cast<std::size_t>(series.count++)] = ParseDecimal(field);
}

}  // namespace

LevelSeries& Levels() {
  static LevelSeries series;
  return series;
}

bool ParseLevelLine(std::string_view line) {
  std::string_view work = line;
  std::array<std::string_view, kLevelFieldsPerLine> fields{};
  int n = 0;
  bool terminator = false;
  auto store = [&](int index, std::string_view text) {
    if (index < kLevelFieldsPerLine) fields[static_cast<std::size_t>(index)] = text;
  };
  while (!work.empty()) {
    const auto comma = work.find(',');
    if (comma != std::string_view::npos) {
      work.remove_prefix(comma + 1);
      const auto next = work.find(',');
      if (next != std::string_view::npos) {
        store(n++, work.substr(0, next));
        work.remove_prefix(next);  // the comma is dropped by the next pass
        continue;
      }
      const auto cr = work.find('\r');
      if (cr != std::string_view::npos) {
        store(n, work.substr(0, cr));
        break;
      }
      continue;  // neither "," nor CR is left: no further field
    }
    if (work.find(';') == std::string_view::npos) break;
    while (!work.empty() && IsSpace(work.front())) work.remove_prefix(1);
    if (work.empty() || work.front() != ';') break;
    work = work.substr(1, 1);
    if (work == "\r") {
      terminator = true;
      break;
    }
  }
  if (n >= 1) {
    const int last = n < kLevelFieldsPerLine ? n : kLevelFieldsPerLine - 1;
    for (int i = 0; i <= last; ++i) {
      const std::string_view field = fields[static_cast<std::size_t>(i)];
      if (!field.empty()) Append(field);
    }
  }
  return terminator;
}

bool LoadLevelData(Ports& ports) {
  LevelSeries& series = Levels();
  series.count = 0;
  const TransferResult fetched = TransferFile(ports, "Z4.CSV", "", TransferMode::Fetch);
  series.file_path = fetched.path;
  if (fetched.status != 0) return false;
  const auto bytes = ports.files.ReadFile(fetched.path, kLevelFileLimit);
  if (!bytes) return false;

  enum { kSearching, kInSection, kDone } state = kSearching;
  ForEachLine(*bytes, [&](std::string_view line) {
    if (state == kSearching) {
      const auto key = KeyOf(line);
      if (key && *key == "WhiteLevel") state = kInSection;
    }
    if (state == kInSection && ParseLevelLine(line)) state = kDone;
    return state != kDone;
  });
  if (state != kDone) {
    series.count = 0;  // a partial series is never shown
    return false;
  }
  return true;
}

std::string LevelKeyIn(std::string_view file, int key) {
  if (key != kBlackLevel && key != kMaxLevel) return {};
  std::string result;
  ForEachLine(file, [&](std::string_view line) {
    const auto name = KeyOf(line);
    const auto comma = line.find(',');
    if (name && *name == kKeyNames[key] && comma != std::string_view::npos) {
      const std::string value(line.substr(comma + 1, 3));
      result = key == kBlackLevel ? ":" + value : value;
    }
    return true;
  });
  return result;
}

std::string ReadLevelKey(Ports& ports, int key) {
  // The fetch's status is not looked at: a copy left by an earlier fetch is
  // read as it is, and without any copy the result is empty.
  const TransferResult fetched = TransferFile(ports, "Z4.CSV", "", TransferMode::Fetch);
  const auto bytes = ports.files.ReadFile(fetched.path, kLevelFileLimit);
  return bytes ? LevelKeyIn(*bytes, key) : std::string();
}

}  // namespace z4
