#include "settings/settings_file_check.h"

#include <array>
#include <optional>

#include "settings/settings_file.h"

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

}  // namespace

SettingsFileCheck CheckSettingsFile(std::string_view bytes) {
  SettingsFileCheck check;
  check.record = BuiltInSettings();
  AcceptedValues accepted;
  // The text of each key's first line, and of the line the reader took.
  std::array<std::optional<std::string>, kSettingsKeyCount> first_text;
  std::array<std::optional<std::string>, kSettingsKeyCount> taken_text;
  while (!bytes.empty()) {
    const auto end = bytes.find('\n');
    const std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    const auto named = ReadSettingsLineKey(line);
    if (!named) continue;
    const auto k = static_cast<std::size_t>(named->key);
    if (!first_text[k]) first_text[k] = std::string(named->value);
    const bool before = accepted.accepted[k];
    ParseSettingsLine(line, accepted);
    if (!before && accepted.accepted[k]) taken_text[k] = std::string(named->value);
  }
  accepted.ApplyTo(check.record);
  for (int key = 0; key < kSettingsKeyCount; ++key) {
    const auto k = static_cast<std::size_t>(key);
    if (!first_text[k]) {
      check.problems.push_back({key, SettingsProblem::Missing, ""});
    } else if (!taken_text[k]) {
      check.problems.push_back({key, SettingsProblem::Unreadable, *first_text[k]});
    } else if (StepOf(key) != 0 && NumberOf(check.record, key) % StepOf(key) != 0) {
      check.problems.push_back({key, SettingsProblem::OffStep, *taken_text[k]});
    }
  }
  return check;
}

}  // namespace z4
