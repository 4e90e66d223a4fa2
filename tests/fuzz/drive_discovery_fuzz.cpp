// The board's drive found from registry values of any content. The input
// describes the registry: a first line "major.minor adjust" (the Windows
// version, 1 for test/adjust mode), then one value per line,
// "root|kind|key|name|data": root D (HKEY_DYN_DATA) or else HKEY_LOCAL_MACHINE,
// kind S (text), W (the text in UTF-16LE, as MountedDevices holds it) or else
// the bytes. Drives A to H exist. Whatever the values: every key opened is
// closed, the current folder and error mode are as before, the NT routes give
// one letter or none, and a board is found only on a drive that answers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "device/drive_discovery.h"
#include "fakes/fake_machine.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> lines{""};
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      lines.emplace_back();
    } else {
      lines.back().push_back(static_cast<char>(data[i]));
    }
  }
  z4::fakes::FakeMachine machine;
  unsigned major = 0, minor = 0;
  int adjust = 0;
  machine.system.version.reset();
  if (std::sscanf(lines[0].c_str(), "%u.%u %d", &major, &minor, &adjust) >= 2) {
    machine.system.version = z4::OsVersion{major, minor};
  }
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::string f[5];  // root, kind, key, name, data
    std::size_t n = 0, at = 0;
    for (std::size_t bar; n < 4 && (bar = lines[i].find('|', at)) != std::string::npos;
         at = bar + 1) {
      f[n++] = lines[i].substr(at, bar - at);
    }
    if (n < 4) continue;
    f[4] = lines[i].substr(at);
    const auto root = f[0] == "D" ? z4::RegistryRoot::DynData : z4::RegistryRoot::LocalMachine;
    std::vector<std::uint8_t> bytes;
    for (char c : f[4]) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), 0});
    if (f[1] == "S") {
      machine.registry.SetString(root, f[2], f[3], f[4]);
    } else {
      machine.registry.SetBinary(
          root, f[2], f[3],
          f[1] == "W" ? bytes : std::vector<std::uint8_t>(f[4].begin(), f[4].end()));
    }
  }
  for (char d = 'A'; d <= 'H'; ++d) machine.files.AddDrive(d);
  machine.files.AddDirectory("C:\\work");
  machine.files.EnterDirectory("C:\\work");

  z4::SharedState::Reset();
  z4::SharedState::SetTestAdjustMode(adjust == 1 ? 1 : 0);
  z4::FindDeviceDrive(machine.ports);
  const std::string drive = z4::SharedState::GetDeviceDrive();
  Check(machine.registry.OpenHandles() == 0 && machine.system.error_mode == 0);
  Check(machine.files.CurrentDirectory() == "C:\\work");
  Check(major < 5 || drive.empty() || (drive.size() == 1 && drive[0] >= 'A' && drive[0] <= 'Z'));
  Check(z4::SharedState::GetDeviceFound() == 1
            ? !drive.empty() && (adjust == 1 || machine.files.HasDrive(drive[0]))
            : drive.empty());
  return 0;
}
