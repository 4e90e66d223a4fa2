// The check of an /apply FILE, whatever it holds: problems come one per key in
// key order, a file without problems holds only values the settings panel can
// set, and a file made of those values alone checks the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "settings/settings_file_check.h"
#include "settings/settings_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const z4::SettingsFileCheck check = z4::CheckSettingsFile(bytes);
  for (std::size_t i = 0; i < check.problems.size(); ++i) {
    Check(check.problems[i].key >= 0 && check.problems[i].key < z4::kSettingsKeyCount);
    if (i > 0) Check(check.problems[i - 1].key < check.problems[i].key);
  }
  if (!check.problems.empty()) return 0;

  const z4::SettingsRecord& r = check.record;
  Check(r.Density >= 70 && r.Density <= 90);
  Check(r.CCFLOffTim >= 30 && r.CCFLOffTim <= 120 && r.CCFLOffTim % 15 == 0);
  Check(r.CCFLStabTim >= 10 && r.CCFLStabTim <= 120 && r.CCFLStabTim % 10 == 0);
  Check((r.FileFormat | r.Setting | r.ImageMove) >> 1 == 0 && z4::IsValidFileDate(r.FileDate));
  std::string alone;
  for (int key = 0; key < z4::kSettingsKeyCount; ++key) {
    alone += std::string(z4::SettingsKeyName(key)) + ":" + z4::RecordValueText(r, key) + "\r\n";
  }
  const z4::SettingsFileCheck again = z4::CheckSettingsFile(alone);
  Check(again.problems.empty() && again.record == r);
  return 0;
}
