// Settings file reader and rewriter on arbitrary bytes. The first byte chooses
// the record to write; the rest is the board's file. Checks what must hold for
// any file: accepted values lie in range, every line survives the rewrite in
// its place, every written line ends in CR LF, and the written file reads back
// as the record. Through the ports, the saved copy is exactly the rewrite.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/shared_state.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/virtual_clock.h"
#include "settings/settings_format.h"
#include "settings/settings_storage.h"

namespace {

using z4::AcceptedValues;
using z4::SettingsRecord;

void Check(bool condition) {
  if (!condition) std::abort();
}

std::vector<std::string_view> Lines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const auto end = bytes.find('\n');
    lines.push_back(bytes.substr(0, end));
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
  return lines;
}

SettingsRecord RecordFrom(std::uint8_t choice) {
  static const char* const kDates[] = {"2004/01/01 00:00:00", "2000/02/29 23:59:59",
                                       "2999/12/31 12:30:45", "2024/06/30 07:08:09"};
  SettingsRecord r;
  r.Density = 70 + choice % 21;
  r.CCFLOffTim = 30 + (choice * 7) % 91;
  r.CCFLStabTim = 10 + (choice * 13) % 111;
  r.FileFormat = choice & 1;
  r.Setting = (choice >> 1) & 1;
  r.ImageMove = (choice >> 2) & 1;
  r.FileDate = kDates[(choice >> 3) & 3];
  return r;
}

void CheckAccepted(const AcceptedValues& a) {
  const int low[] = {70, 30, 10, 0, 0, 0, 0};
  const int high[] = {90, 120, 120, 1, 1, 0, 1};
  for (int key = 0; key < z4::kSettingsKeyCount; ++key) {
    if (!a.accepted[key] || key == z4::kKeyFileDate) continue;
    Check(a.number[key] >= low[key] && a.number[key] <= high[key]);
  }
  if (a.accepted[z4::kKeyFileDate]) Check(z4::IsValidFileDate(a.fileDate));
}

void CheckRewrite(std::string_view file, const SettingsRecord& record, const std::string& out) {
  // Every LF is preceded by CR, and the output ends in CR LF.
  Check(!out.empty() && out.back() == '\n');
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '\n') Check(i > 0 && out[i - 1] == '\r');
  }
  const auto before = Lines(file);
  const auto after = Lines(out);
  Check(after.size() >= before.size() && after.size() <= before.size() + 7);
  int rewritten = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    const std::string_view old_line = before[i];
    const std::string_view new_line = after[i];
    const bool ends_in_cr = !old_line.empty() && old_line.back() == '\r';
    if (new_line == (ends_in_cr ? std::string(old_line) : std::string(old_line) + "\r")) continue;
    // A rewritten line: the old one up to its first ":" and the new value.
    ++rewritten;
    const auto colon = old_line.find(':');
    Check(colon != std::string_view::npos);
    Check(new_line.substr(0, colon + 1) == old_line.substr(0, colon + 1));
  }
  Check(static_cast<std::size_t>(rewritten) + (after.size() - before.size()) <= 7);

  AcceptedValues back;
  z4::ParseSettingsFile(out, back);
  for (int key = 0; key < z4::kSettingsKeyCount; ++key) Check(back.accepted[key]);
  SettingsRecord read;
  back.ApplyTo(read);
  Check(read == record);
}

void CheckThroughPorts(std::string_view file, const SettingsRecord& record,
                       const std::string& expected) {
  z4::SharedState::Reset();
  z4::SharedState::SetDeviceDrive("E");
  z4::SharedState::SetDeviceFound(1);
  z4::fakes::FakeFileSystem fs;
  z4::fakes::FakeSystem system;
  z4::fakes::VirtualClock clock;
  z4::fakes::FakeRegistry registry;
  z4::Ports ports{registry, system, fs, clock};
  fs.AddDrive('E');
  fs.AddDirectory("C:\\Program Files\\Z4");
  fs.AddFile("E:\\Z4.INI", std::string(file));
  Check(z4::LoadSettings(ports, 0) == 0);
  AcceptedValues a;
  z4::ParseSettingsFile(file, a);
  SettingsRecord loaded = z4::BuiltInSettings();
  a.ApplyTo(loaded);
  Check(z4::SharedState::GetDeviceSettings() == loaded);
  Check(z4::SaveSettings(ports, record) == 0);
  Check(fs.Contents("C:\\Program Files\\Z4\\BackupZ4\\Z4.INI") == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const SettingsRecord record = RecordFrom(data[0]);
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);

  AcceptedValues accepted;
  z4::ParseSettingsFile(file, accepted);
  CheckAccepted(accepted);

  const std::string out = z4::RewriteSettingsFile(file, record);
  CheckRewrite(file, record, out);
  CheckThroughPorts(file, record, out);
  return 0;
}
