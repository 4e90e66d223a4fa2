// The fake registry, file system and clock of the drive discovery tests, and
// the board's registry names spelled out on their own, so that a slip in the
// program's copy shows up.
#pragma once

#include "device/drive_discovery.h"
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "core/ports.h"
#include "core/shared_state.h"
#include "device/registry_key.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/virtual_clock.h"

namespace z4 {

using fakes::FakeRegistry;
using fakes::FakeSystem;
constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;
constexpr RegistryRoot kDyn = RegistryRoot::DynData;

// The board's registry names, spelled out here on their own so that a slip in
// the program's copy shows up.
constexpr char kPresentList[] = "Config Manager\\Enum\\";
const std::string k98Id0 =
    "SCSI\\KORA____Z-4_____________1\\QXR4&DISK&0000USB&VID_4F2A&PID_0C07&00000000000000";
const std::string k98Id1 =
    "SCSI\\KORA____Z-4_____________1\\QXR4&DISK&0000USB&VID_4F2A&PID_0C07&00000000000001";
const std::string k98Key0 =
    "enum\\scsi\\KORA____Z-4_____________1\\QXR4&DISK&0000USB&VID_4F2A&PID_0C07&00000000000000\\";
const std::string k98Key1 =
    "enum\\scsi\\KORA____Z-4_____________1\\QXR4&DISK&0000USB&VID_4F2A&PID_0C07&00000000000001\\";
const std::string kMeId0 =
    "SCSI\\KORA____Z-4_____________1\\USBSTOR&DISK&VEN_KORA&PROD_Z-4&REV_1.00&000000000000&000";
const std::string kMeId1 =
    "SCSI\\KORA____Z-4_____________1\\USBSTOR&DISK&VEN_KORA&PROD_Z-4&REV_1.00&000000000000&100";
const std::string kMeKey0 =
    "enum\\scsi\\KORA____Z-4_____________1\\USBSTOR&DISK&VEN_KORA&PROD_Z-4&REV_1.00&000000000000&"
    "000\\";
const std::string kMeKey1 =
    "enum\\scsi\\KORA____Z-4_____________1\\USBSTOR&DISK&VEN_KORA&PROD_Z-4&REV_1.00&000000000000&"
    "100\\";
const std::string kNtTail = "\\Enum\\USBSTOR\\Disk&Ven_KORA&Prod_Z-4&Rev_1.00\\000000000000&0\\";
const std::string kMounted = "SYSTEM\\MountedDevices\\";
const std::string kPrefix = "7&2a6b1c3d&0";

inline std::string NtInstance(const std::string& control_set) {
  return "SYSTEM\\ControlSet" + control_set + kNtTail;
}

inline std::string DosDevice(char letter) {
  return std::string("\\DosDevices\\") + letter + ":";
}

// Mounted-device data as Windows stores it for a removable medium: the device
// path in UTF-16LE.
inline std::vector<std::uint8_t> MediaData(const std::string& parent_id_prefix,
                                    const std::string& tail = "&RM#{53f5630d-b6bf-11d0-94f2}") {
  std::vector<std::uint8_t> data;
  for (char c : "\\??\\STORAGE#RemovableMedia#" + parent_id_prefix + tail) {
    data.push_back(static_cast<std::uint8_t>(c));
    data.push_back(0);
  }
  return data;
}

// Mounted-device data of a volume on Windows Vista and later: the storage
// unit's device path in UTF-16LE.
inline std::vector<std::uint8_t> Utf16(const std::string& text) {
  std::vector<std::uint8_t> data;
  for (char c : text) {
    data.push_back(static_cast<std::uint8_t>(c));
    data.push_back(0);
  }
  return data;
}
const std::string kDiskClass = "{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
const std::string kBoardUnit0 = "_??_USBSTOR#Disk&Ven_KORA&Prod_Z-4&Rev_1.00#000000000000&0#";
const std::string kBoardUnit1 = "_??_USBSTOR#Disk&Ven_KORA&Prod_Z-4&Rev_1.00#000000000000&1#";
const std::string kOtherUsbDisk =
    "_??_USBSTOR#Disk&Ven_SanDisk&Prod_Cruzer_Blade&Rev_1.00#4C530001&0#";

// Text followed by zeros up to `size` bytes.
inline std::vector<std::uint8_t> Padded(const std::string& text, std::size_t size) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.resize(size, 0);
  return data;
}

class DriveDiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SharedState::Reset();
    files.AddDirectory("C:\\work");
    files.EnterDirectory("C:\\work");
    files.log.clear();
  }
  // Whatever route was taken, every key opened was closed again.
  void TearDown() override { EXPECT_EQ(registry.OpenHandles(), 0); }

  void AddPresent(const std::string& entry, const std::string& hardware_id) {
    registry.SetString(kDyn, kPresentList + entry, "HardWareKey", hardware_id);
  }
  void AddUnit(const std::string& key, const std::string& scsilun, const std::string& letter) {
    registry.SetString(kLM, key, "SCSILUN", scsilun);
    registry.SetString(kLM, key, "CurrentDriveLetterAssignment", letter);
  }
  // The board as Windows 98 or Me lists it, between other devices, with its
  // two units on E and F.
  void AddBoard9x(bool me) {
    AddPresent("ROOT&PRINTER&0000", "ROOT\\PRINTER\\0000");
    AddPresent("C29A1B40", me ? kMeId0 : k98Id0);
    AddPresent("HTREE&ROOT&0", "HTREE\\ROOT\\0");
    AddPresent("C29A1B41", me ? kMeId1 : k98Id1);
    AddUnit(me ? kMeKey0 : k98Key0, "0", "E");
    AddUnit(me ? kMeKey1 : k98Key1, "1", "F");
    files.AddDrive('E');
    files.AddDrive('F');
  }
  void AddNtInstance(const std::string& control_set, const std::string& prefix = kPrefix) {
    registry.SetString(kLM, NtInstance(control_set), "ParentIdPrefix", prefix);
  }
  void Mount(char letter, const std::vector<std::uint8_t>& data) {
    registry.SetBinary(kLM, kMounted, DosDevice(letter), data);
  }
  // The board on E under Windows XP, beside a fixed disk on C.
  void AddBoardNt() {
    system.version = OsVersion{5, 1};
    AddNtInstance("001");
    Mount('C', {0x5C, 0x00, 0x3F, 0x00, 0x12, 0x34, 0x56, 0x78});
    Mount('E', MediaData(kPrefix));
    files.AddDrive('E');
  }
  bool Opened(const std::string& path) const {
    const auto& paths = registry.OpenedPaths();
    return std::find(paths.begin(), paths.end(), path) != paths.end();
  }
  bool OpenedUnder(const std::string& start) const {
    for (const auto& path : registry.OpenedPaths()) {
      if (path.compare(0, start.size(), start) == 0) return true;
    }
    return false;
  }
  void Find() { FindDeviceDrive(ports); }
  std::string Drive() const { return SharedState::GetDeviceDrive(); }
  int Found() const { return SharedState::GetDeviceFound(); }

  FakeRegistry registry;
  FakeSystem system;
  fakes::FakeFileSystem files;
  fakes::VirtualClock clock;
  Ports ports{registry, system, files, clock};
};

}  // namespace z4
