#include "settings/settings_read_back.h"

#include "settings/settings_format.h"

namespace z4 {

std::vector<ValueDifference> CompareSettings(const SettingsRecord& written,
                                             std::string_view read_bytes) {
  AcceptedValues accepted;
  ParseSettingsFile(read_bytes, accepted);
  SettingsRecord read = written;
  accepted.ApplyTo(read);
  std::vector<ValueDifference> differences;
  for (int key = 0; key < kSettingsKeyCount; ++key) {
    const std::string want = RecordValueText(written, key);
    if (!accepted.accepted[static_cast<std::size_t>(key)]) {
      differences.push_back({key, want, ""});
      continue;
    }
    // Compared in written form: "045" and "45" are the same lamp-off time.
    const std::string got = RecordValueText(read, key);
    if (got != want) differences.push_back({key, want, got});
  }
  return differences;
}

std::string DifferenceText(const ValueDifference& d) {
  const char* key = SettingsKeyName(d.key);
  return std::string(key ? key : "") + ": written " + d.written + ", read " +
         (d.read.empty() ? "none" : d.read);
}

std::string DifferencesText(const std::vector<ValueDifference>& differences) {
  std::string text;
  for (const ValueDifference& d : differences)
    text += (text.empty() ? "" : "; ") + DifferenceText(d);
  return text;
}

}  // namespace z4
