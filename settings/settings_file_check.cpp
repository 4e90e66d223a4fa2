#include "settings/settings_file_check.h"

#include <array>
#include <optional>

#include "settings/settings_format.h"

namespace z4 {
namespace {

// The step of the panel's trackbar for a lamp time, 0 for the other keys.
int StepOf(int key) {
  switch (key) {
    case kKeyCCFLOffTim:
      return 15;
    case kKeyCCFLStabTim:
      return 10;
    default:
      return 0;
  }
}

int NumberOf(const SettingsRecord& record, int key) {
  return key == kKeyCCFLOffTim ? record.CCFLOffTim : record.CCFLStabTim;
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

// The key a line looks like when it is not a settings line of it: the name
// before its first ":" or "=" is a key's, but in other letter case or with
// white space around it. -1 for any other line.
int LooksLikeKey(std::string_view line) {
  line = line.substr(0, line.find(';'));
  const auto separator = line.find_first_of(":=");
  if (separator == std::string_view::npos) return -1;
  std::string_view name = line.substr(0, separator);
  while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
  while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
  for (int key = 0; key < kSettingsKeyCount; ++key) {
    const std::string_view wanted = SettingsKeyName(key);
    if (name.size() != wanted.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i) {
      same = AsciiLower(name[i]) == AsciiLower(wanted[i]);
    }
    if (same) return key;
  }
  return -1;
}

// The line as the message names it: without its comment and outer blanks.
std::string Trimmed(std::string_view line) {
  line = line.substr(0, line.find(';'));
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  return std::string(line);
}

// Whether two value texts of a key mean the same: the same text, or the same
// number ("045" and "45").
bool SameValue(int key, const std::string& a, const std::string& b) {
  if (a == b) return true;
  if (key == kKeyFileDate) return false;
  const int x = ValueFromText(a, key);
  return x != -1 && x == ValueFromText(b, key);
}

}  // namespace

SettingsFileCheck CheckSettingsFile(std::string_view bytes) {
  SettingsFileCheck check;
  check.record = BuiltInSettings();
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  AcceptedValues accepted;
  // The text of each key's first line, of a later line with another value,
  // of the line the reader took, and of a line that only looks like the key.
  std::array<std::optional<std::string>, kSettingsKeyCount> first_text;
  std::array<std::optional<std::string>, kSettingsKeyCount> other_text;
  std::array<std::optional<std::string>, kSettingsKeyCount> taken_text;
  std::array<std::optional<std::string>, kSettingsKeyCount> look_alike;
  while (!bytes.empty()) {
    const auto end = bytes.find('\n');
    const std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    const auto named = ReadSettingsLineKey(line);
    if (!named) {
      const int key = LooksLikeKey(line);
      if (key >= 0 && !look_alike[static_cast<std::size_t>(key)]) {
        look_alike[static_cast<std::size_t>(key)] = Trimmed(line);
      }
      continue;
    }
    const auto k = static_cast<std::size_t>(named->key);
    const std::string value(named->value);
    if (!first_text[k]) {
      first_text[k] = value;
    } else if (!other_text[k] && !SameValue(named->key, *first_text[k], value)) {
      other_text[k] = value;
    }
    const bool before = accepted.accepted[k];
    ParseSettingsLine(line, accepted);
    if (!before && accepted.accepted[k]) taken_text[k] = std::string(named->value);
  }
  accepted.ApplyTo(check.record);
  for (int key = 0; key < kSettingsKeyCount; ++key) {
    const auto k = static_cast<std::size_t>(key);
    if (!first_text[k] && look_alike[k]) {
      check.problems.push_back({key, SettingsProblem::NotAKey, *look_alike[k], ""});
    } else if (!first_text[k]) {
      check.problems.push_back({key, SettingsProblem::Missing, "", ""});
    } else if (other_text[k]) {
      check.problems.push_back({key, SettingsProblem::TwoValues, *first_text[k], *other_text[k]});
    } else if (!taken_text[k]) {
      check.problems.push_back({key, SettingsProblem::Unreadable, *first_text[k], ""});
    } else if (StepOf(key) != 0 && NumberOf(check.record, key) % StepOf(key) != 0) {
      check.problems.push_back({key, SettingsProblem::OffStep, *taken_text[k], ""});
    }
  }
  return check;
}

}  // namespace z4
