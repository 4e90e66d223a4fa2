// The board's drive found from registry values of any content. The input
// describes the registry: a first line "major.minor adjust" (the Windows
// version, 1 for test/adjust mode), then one line per value,
// "root|kind|key|name|data": root L (HKEY_LOCAL_MACHINE) or D (HKEY_DYN_DATA),
// kind S (text), W (the text in UTF-16LE, as MountedDevices holds it) or B
// (the bytes). Drives A to H exist. Whatever the values: every key opened is
// closed, the current folder and error mode are as before, the NT routes give
// one letter or none, and a board is found only on a drive that answers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/shared_state.h"
#include "device/drive_discovery.h"
#include "fakes/fake_machine.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::vector<std::string_view> Split(std::string_view text, char at) {
  std::vector<std::string_view> parts;
  for (std::size_t end; (end = text.find(at)) != std::string_view::npos;) {
    parts.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  parts.push_back(text);
  return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto lines = Split(std::string_view(reinterpret_cast<const char*>(data), size), '\n');
  z4::fakes::FakeMachine machine;
  unsigned major = 0, minor = 0;
  int adjust = 0;
  if (std::sscanf(std::string(lines[0]).c_str(), "%u.%u %d", &major, &minor, &adjust) >= 2) {
    machine.system.version = z4::OsVersion{major, minor};
  } else {
    machine.system.version.reset();
  }
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const auto f = Split(lines[i], '|');
    if (f.size() != 5 || f[0].size() != 1 || f[1].size() != 1) continue;
    const auto root = f[0][0] == 'D' ? z4::RegistryRoot::DynData : z4::RegistryRoot::LocalMachine;
    const std::string key(f[2]), name(f[3]);
    std::vector<std::uint8_t> bytes;
    for (char c : f[4]) {
      bytes.push_back(static_cast<std::uint8_t>(c));
      if (f[1][0] == 'W') bytes.push_back(0);
    }
    if (f[1][0] == 'S') {
      machine.registry.SetString(root, key, name, std::string(f[4]));
    } else {
      machine.registry.SetBinary(root, key, name, bytes);
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
  if (machine.system.version && major >= 5) {
    Check(drive.empty() || (drive.size() == 1 && drive[0] >= 'A' && drive[0] <= 'Z'));
  }
  if (z4::SharedState::GetDeviceFound() == 1) {
    Check(!drive.empty() && (adjust == 1 || machine.files.HasDrive(drive[0])));
  } else {
    Check(drive.empty());
  }
  return 0;
}
