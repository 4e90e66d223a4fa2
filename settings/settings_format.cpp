#include "settings/settings_format.h"

#include "core/decimal.h"

namespace z4 {
namespace {

constexpr std::array<const char*, kSettingsKeyCount> kKeyNames = {
    "Density", "CCFLOffTim", "CCFLStabTim", "FileFormat", "Setting", "FileDate", "ImageMove",
};

struct Range {
  int low;
  int high;
};
// Accepted values of the numeric keys, bounds included (FileDate is text).
constexpr std::array<Range, kSettingsKeyCount> kRanges = {{
    {70, 90},
    {30, 120},
    {10, 120},
    {0, 1},
    {0, 1},
    {0, -1},
    {0, 1},
}};

// The two letters of a switch-like key, for 0 and for 1.
const char* Letters(int key) {
  switch (key) {
    case kKeyFileFormat:
      return "PT";
    case kKeySetting:
      return "HV";
    case kKeyImageMove:
      return "NY";
    default:
      return nullptr;
  }
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

// The part of a line before its comment, without white space at either end.
std::string_view SettingsText(std::string_view line) {
  line = line.substr(0, line.find(';'));
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  return line;
}

bool StartsWithKey(std::string_view text, int key) {
  const std::string_view name = kKeyNames[static_cast<std::size_t>(key)];
  return text.size() > name.size() && text.compare(0, name.size(), name) == 0 &&
         text[name.size()] == ':';
}

// Calls `each(line)` for every line of the bytes: lines end at LF, which is
// not part of the line; a last line without LF counts.
template <typename F>
void ForEachLine(std::string_view bytes, F&& each) {
  while (!bytes.empty()) {
    const auto end = bytes.find('\n');
    each(bytes.substr(0, end));
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
}

int RecordNumber(const SettingsRecord& record, int key) {
  switch (key) {
    case kKeyDensity:
      return record.Density;
    case kKeyCCFLOffTim:
      return record.CCFLOffTim;
    case kKeyCCFLStabTim:
      return record.CCFLStabTim;
    case kKeyFileFormat:
      return record.FileFormat;
    case kKeySetting:
      return record.Setting;
    case kKeyImageMove:
      return record.ImageMove;
    default:
      return -1;
  }
}

std::string RecordText(const SettingsRecord& record, int key) {
  return key == kKeyFileDate ? record.FileDate : ValueToText(RecordNumber(record, key), key);
}

std::string RightmostOf(const std::string& text, std::size_t count) {
  return text.size() <= count ? text : text.substr(text.size() - count);
}

}  // namespace

const char* SettingsKeyName(int key) {
  if (key < 0 || key >= kSettingsKeyCount) return nullptr;
  const char* name = kKeyNames[static_cast<std::size_t>(key)];
  return name;
}

void AcceptedValues::ApplyTo(SettingsRecord& record) const {
  const auto take = [&](int key, int& field) {
    if (accepted[static_cast<std::size_t>(key)]) field = number[static_cast<std::size_t>(key)];
  };
  take(kKeyDensity, record.Density);
  take(kKeyCCFLOffTim, record.CCFLOffTim);
  take(kKeyCCFLStabTim, record.CCFLStabTim);
  take(kKeyFileFormat, record.FileFormat);
  take(kKeySetting, record.Setting);
  if (accepted[kKeyFileDate]) record.FileDate = fileDate;
  take(kKeyImageMove, record.ImageMove);
}

SettingsRecord BuiltInSettings() {
  SettingsRecord record;
  record.Density = 75;
  record.CCFLOffTim = 30;
  record.CCFLStabTim = 20;
  record.FileFormat = 1;
  record.Setting = 0;
  record.FileDate = "2004/01/01 00:00:00";
  record.ImageMove = 0;
  return record;
}

int ValueFromText(std::string_view text, int key) {
  switch (key) {
    case kKeyDensity:
    case kKeyCCFLOffTim:
    case kKeyCCFLStabTim:
      return ParseDecimal(text);
    default:
      break;
  }
  const char* letters = Letters(key);
  if (!letters || text.size() != 1) return -1;
  if (text[0] == letters[0]) return 0;
  if (text[0] == letters[1]) return 1;
  return -1;
}

std::string ValueToText(int value, int key) {
  switch (key) {
    case kKeyDensity:
      return RightmostOf("00" + FormatDecimal(value), 2);
    case kKeyCCFLOffTim:
    case kKeyCCFLStabTim:
      return RightmostOf("000" + FormatDecimal(value), 3);
    default:
      break;
  }
  const char* letters = Letters(key);
  if (!letters || value < 0 || value > 1) return std::string();
  return std::string(1, letters[value]);
}

std::string RecordValueText(const SettingsRecord& record, int key) {
  return RecordText(record, key);
}

bool IsValidFileDate(std::string_view text) {
  if (text.size() != 19) return false;
  if (text[4] != '/' || text[7] != '/' || text[10] != ' ' || text[13] != ':' || text[16] != ':') {
    return false;
  }
  const auto number = [&](std::size_t at, std::size_t length) {
    return ParseDecimal(text.substr(at, length));
  };
  const int year = number(0, 4);
  const int month = number(5, 2);
  const int day = number(8, 2);
  if (year < 2000 || year > 2999 || month < 1 || month > 12 || day < 1 || day > 31) return false;
  if ((month == 4 || month == 6 || month == 9 || month == 11) && day > 30) return false;
  if (month == 2) {
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > (leap ? 29 : 28)) return false;
  }
  const int hour = number(11, 2);
  const int minute = number(14, 2);
  const int second = number(17, 2);
  return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

void ParseSettingsLine(std::string_view line, AcceptedValues& accepted) {
  const std::string_view text = SettingsText(line);
  for (int key = 0; key < kSettingsKeyCount; ++key) {
    const auto k = static_cast<std::size_t>(key);
    if (accepted.accepted[k] || !StartsWithKey(text, key)) continue;
    const std::string_view value = text.substr(text.find(':') + 1);
    if (key == kKeyFileDate) {
      if (IsValidFileDate(value)) {
        accepted.accepted[k] = true;
        accepted.fileDate = std::string(value);
      }
      continue;
    }
    const int v = ValueFromText(value, key);
    if (v >= kRanges[k].low && v <= kRanges[k].high) {
      accepted.accepted[k] = true;
      accepted.number[k] = v;
    }
  }
}

std::string RewriteSettingsLine(std::string_view line, const SettingsRecord& record,
                                AcceptedValues& accepted) {
  const std::string_view text = SettingsText(line);
  for (int key = 0; key < kSettingsKeyCount; ++key) {
    const auto k = static_cast<std::size_t>(key);
    if (accepted.accepted[k] || !StartsWithKey(text, key)) continue;
    // Leading white space holds no ":", so the first one of the line is the
    // key's own.
    std::string rewritten(line.substr(0, line.find(':') + 1));
    rewritten += RecordText(record, key);
    accepted.accepted[k] = true;
    return rewritten;
  }
  return std::string(line);
}

std::optional<SettingsLineKey> ReadSettingsLineKey(std::string_view line) {
  const std::string_view text = SettingsText(line);
  for (int key = 0; key < kSettingsKeyCount; ++key) {
    if (StartsWithKey(text, key)) return SettingsLineKey{key, text.substr(text.find(':') + 1)};
  }
  return std::nullopt;
}

void ParseSettingsFile(std::string_view bytes, AcceptedValues& accepted) {
  ForEachLine(bytes, [&](std::string_view line) { ParseSettingsLine(line, accepted); });
}

std::string RewriteSettingsFile(std::string_view old_bytes, const SettingsRecord& record) {
  AcceptedValues accepted;
  std::string out;
  out.reserve(old_bytes.size() + old_bytes.size() / 16 + 160);
  // Every line ends in CR LF: a line that ends in CR gets LF, any other both.
  const auto add = [&out](std::string_view line) {
    out += line;
    if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") return;
    out += line.empty() || line.back() != '\r' ? "\r\n" : "\n";
  };
  // Every line is kept, however long the file: a user's lines are never cut off.
  ForEachLine(old_bytes,
              [&](std::string_view line) { add(RewriteSettingsLine(line, record, accepted)); });
  for (int key = 0; key < kSettingsKeyCount; ++key) {
    if (accepted.accepted[static_cast<std::size_t>(key)]) continue;
    add(std::string(kKeyNames[static_cast<std::size_t>(key)]) + ":" + RecordText(record, key) +
        "\r\n");
  }
  return out;
}

}  // namespace z4
