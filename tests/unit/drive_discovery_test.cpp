#include "device/drive_discovery.h"
#include "device/drive_route_9x.h"

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
namespace {

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

std::string NtInstance(const std::string& control_set) {
  return "SYSTEM\\ControlSet" + control_set + kNtTail;
}

std::string DosDevice(char letter) {
  return std::string("\\DosDevices\\") + letter + ":";
}

// Mounted-device data as Windows stores it for a removable medium: the device
// path in UTF-16LE.
std::vector<std::uint8_t> MediaData(const std::string& parent_id_prefix,
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
std::vector<std::uint8_t> Utf16(const std::string& text) {
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
std::vector<std::uint8_t> Padded(const std::string& text, std::size_t size) {
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

// --- Version

TEST(OsFamily, FollowsMajorAndMinorVersion) {
  struct Case {
    std::optional<OsVersion> version;
    OsFamily family;
  };
  const Case cases[] = {
      {OsVersion{4, 10}, OsFamily::Windows98},
      {OsVersion{4, 90}, OsFamily::WindowsMe},
      {OsVersion{5, 0}, OsFamily::Windows2000OrXP},
      {OsVersion{5, 1}, OsFamily::Windows2000OrXP},
      {OsVersion{5, 2}, OsFamily::WindowsNtAfterXp},
      {OsVersion{6, 0}, OsFamily::WindowsNtAfterXp},
      {OsVersion{6, 1}, OsFamily::WindowsNtAfterXp},
      {OsVersion{6, 2}, OsFamily::WindowsNtAfterXp},
      {OsVersion{6, 3}, OsFamily::WindowsNtAfterXp},
      {OsVersion{10, 0}, OsFamily::WindowsNtAfterXp},
      {OsVersion{6, 10}, OsFamily::WindowsNtAfterXp},
      {OsVersion{5, 3}, OsFamily::WindowsNtAfterXp},
      {OsVersion{4, 0}, OsFamily::OtherWindows},
      {OsVersion{3, 10}, OsFamily::OtherWindows},
      {OsVersion{3, 51}, OsFamily::OtherWindows},
      {OsVersion{4, 1}, OsFamily::OtherWindows},
      {OsVersion{4, 95}, OsFamily::OtherWindows},
      {std::nullopt, OsFamily::OtherWindows},
  };
  for (const Case& c : cases) {
    FakeSystem system;
    system.version = c.version;
    EXPECT_EQ(GetOsFamily(system), c.family)
        << (c.version ? std::to_string(c.version->major) + "." + std::to_string(c.version->minor)
                      : "failed query");
  }
}

TEST_F(DriveDiscoveryTest, UnsupportedVersionsReadNothingAndClearTheOutcome) {
  AddBoard9x(false);
  AddBoardNt();
  Mount('F', Utf16(kBoardUnit0 + kDiskClass));
  files.AddDrive('F');
  // Windows 95 and NT 4.0 both report 4.0.
  const std::optional<OsVersion> versions[] = {OsVersion{4, 0}, OsVersion{3, 51}, std::nullopt};
  for (const auto& version : versions) {
    system.version = version;
    SharedState::SetDeviceDrive("E");
    SharedState::SetDeviceFound(1);
    Find();
    EXPECT_EQ(Drive(), "");
    EXPECT_EQ(Found(), 0);
  }
  EXPECT_TRUE(registry.OpenedPaths().empty());
  EXPECT_EQ(files.CountOps("cd"), 0);
}

// --- Windows 98

TEST_F(DriveDiscoveryTest, Windows98FindsTheLetterOfLun0) {
  system.version = OsVersion{4, 10};
  AddBoard9x(false);
  Find();
  EXPECT_EQ(Drive(), "E");
  EXPECT_EQ(Found(), 1);
  // The unit keys are opened by their exact names, trailing backslash included.
  EXPECT_TRUE(Opened(k98Key0));
  EXPECT_TRUE(Opened(k98Key1));
  EXPECT_TRUE(Opened(kPresentList));
}

TEST_F(DriveDiscoveryTest, Windows98NeedsLun0AndThenLun1InTheDeviceList) {
  system.version = OsVersion{4, 10};
  AddUnit(k98Key0, "0", "E");
  AddUnit(k98Key1, "1", "F");
  files.AddDrive('E');

  AddPresent("A0", k98Id0);
  EXPECT_FALSE(IsDevicePresent9x(registry, OsFamily::Windows98));
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
  // Without the device no unit key is read.
  EXPECT_FALSE(OpenedUnder("enum\\scsi"));
  EXPECT_EQ(registry.ReadsOf("SCSILUN"), 0);

  AddPresent("A1", k98Id1);
  EXPECT_TRUE(IsDevicePresent9x(registry, OsFamily::Windows98));
}

TEST_F(DriveDiscoveryTest, Windows98IgnoresLun1ListedBeforeLun0) {
  system.version = OsVersion{4, 10};
  AddPresent("A1", k98Id1);
  AddPresent("B0", k98Id0);
  AddUnit(k98Key0, "0", "E");
  files.AddDrive('E');
  EXPECT_FALSE(IsDevicePresent9x(registry, OsFamily::Windows98));
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

TEST_F(DriveDiscoveryTest, EachFamilyKnowsOnlyItsOwnHardwareIds) {
  AddPresent("A0", kMeId0);
  AddPresent("A1", kMeId1);
  EXPECT_FALSE(IsDevicePresent9x(registry, OsFamily::Windows98));
  EXPECT_TRUE(IsDevicePresent9x(registry, OsFamily::WindowsMe));
  EXPECT_FALSE(IsDevicePresent9x(registry, OsFamily::Windows2000OrXP));
}

TEST_F(DriveDiscoveryTest, DeviceListWalkStopsWhenClosingTheListFails) {
  AddBoard9x(false);
  registry.fail_close = true;
  EXPECT_FALSE(IsDevicePresent9x(registry, OsFamily::Windows98));
  // The walk gave up after reading the first entry's name.
  EXPECT_EQ(registry.OpenedPaths(), std::vector<std::string>{kPresentList});
}

TEST_F(DriveDiscoveryTest, Windows98SecondUnitKeyWinsWhenBothReportLun0) {
  system.version = OsVersion{4, 10};
  AddBoard9x(false);
  AddUnit(k98Key1, "0", "F");
  Find();
  EXPECT_EQ(Drive(), "F");
  EXPECT_EQ(Found(), 1);
}

TEST_F(DriveDiscoveryTest, Windows98GoesByTheReportedUnitNumberNotTheKey) {
  system.version = OsVersion{4, 10};
  AddBoard9x(false);
  AddUnit(k98Key0, "1", "E");
  AddUnit(k98Key1, "00", "F");
  Find();
  EXPECT_EQ(Drive(), "F");
  EXPECT_EQ(Found(), 1);
}

TEST_F(DriveDiscoveryTest, Windows98SecondLun0KeyWinsEvenWithoutALetter) {
  system.version = OsVersion{4, 10};
  AddBoard9x(false);
  registry.SetString(kLM, k98Key1, "SCSILUN", "0");
  registry.SetBinary(kLM, k98Key1, "CurrentDriveLetterAssignment", Padded("F", 257));
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
  EXPECT_EQ(files.CountOps("cd"), 0);
}

TEST_F(DriveDiscoveryTest, Windows98UnitNumberThatIsNotDecimalSkipsTheLetter) {
  system.version = OsVersion{4, 10};
  AddBoard9x(false);
  registry.SetString(kLM, k98Key0, "SCSILUN", "0 ");
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
  // Only the LUN 1 key's letter was read.
  EXPECT_EQ(registry.ReadsOf("CurrentDriveLetterAssignment"), 1);
}

TEST_F(DriveDiscoveryTest, Windows98TextValuesMustFitIn256Bytes) {
  system.version = OsVersion{4, 10};
  AddBoard9x(false);

  // 255 digits and the terminating zero fit; one more digit does not.
  registry.SetString(kLM, k98Key0, "SCSILUN", std::string(255, '0'));
  Find();
  EXPECT_EQ(Drive(), "E");

  registry.SetString(kLM, k98Key0, "SCSILUN", std::string(256, '0'));
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);

  registry.SetString(kLM, k98Key0, "SCSILUN", "0");
  registry.SetBinary(kLM, k98Key0, "CurrentDriveLetterAssignment", Padded("E", 256));
  Find();
  EXPECT_EQ(Drive(), "E");

  registry.SetBinary(kLM, k98Key0, "CurrentDriveLetterAssignment", Padded("E", 257));
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

TEST_F(DriveDiscoveryTest, Windows98WithoutTheLun0KeyUsesAnotherKeyReportingLun0) {
  system.version = OsVersion{4, 10};
  AddPresent("A0", k98Id0);
  AddPresent("A1", k98Id1);
  AddUnit(k98Key1, "0", "F");
  files.AddDrive('F');
  Find();
  EXPECT_EQ(Drive(), "F");
  EXPECT_EQ(Found(), 1);
}

// --- Windows Me

TEST_F(DriveDiscoveryTest, WindowsMeFindsTheLetterOfLun0) {
  system.version = OsVersion{4, 90};
  AddBoard9x(true);
  Find();
  EXPECT_EQ(Drive(), "E");
  EXPECT_EQ(Found(), 1);
  EXPECT_TRUE(Opened(kMeKey0));
  EXPECT_TRUE(Opened(kMeKey1));
}

TEST_F(DriveDiscoveryTest, WindowsMeTakesTheLun0KeysLetterWhateverUnitItReports) {
  system.version = OsVersion{4, 90};
  AddBoard9x(true);
  AddUnit(kMeKey0, "1", "E");
  AddUnit(kMeKey1, "0", "F");
  Find();
  EXPECT_EQ(Drive(), "E");
  EXPECT_EQ(Found(), 1);
}

TEST_F(DriveDiscoveryTest, WindowsMeNeedsADecimalUnitNumber) {
  system.version = OsVersion{4, 90};
  AddBoard9x(true);
  AddUnit(kMeKey0, "x", "E");
  AddUnit(kMeKey1, "0", "F");
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

// A letter value that is not one letter names no board, in either mode: "\\.\C"
// would be the fixed disk's root.
TEST_F(DriveDiscoveryTest, OnlyOneLetterFromAToZIsABoardsLetter) {
  system.version = OsVersion{4, 90};
  AddBoard9x(true);
  files.AddDrive('C', DriveKind::Removable);
  for (const char* letter : {"\\\\.\\C", "EF", "", "1", "e"}) {
    for (int adjust : {0, 1}) {
      SharedState::SetTestAdjustMode(adjust);
      AddUnit(adjust ? kMeKey1 : kMeKey0, adjust ? "1" : "0", letter);
      Find();
      EXPECT_EQ(Drive(), std::string(letter) == "e" ? "E" : "") << letter << " " << adjust;
    }
  }
}

TEST_F(DriveDiscoveryTest, WindowsMeDoesNotKnowTheWindows98Ids) {
  system.version = OsVersion{4, 90};
  AddBoard9x(false);
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_FALSE(OpenedUnder("enum\\scsi"));
}

// --- Windows 2000 and XP

TEST_F(DriveDiscoveryTest, WindowsXpFindsTheMountedLetter) {
  AddBoardNt();
  Find();
  EXPECT_EQ(Drive(), "E");
  EXPECT_EQ(Found(), 1);
  EXPECT_EQ(registry.OpenedPaths().front(), NtInstance("001"));
  EXPECT_TRUE(Opened(kMounted));
}

TEST_F(DriveDiscoveryTest, Windows2000TakesTheSameRoute) {
  AddBoardNt();
  system.version = OsVersion{5, 0};
  Find();
  EXPECT_EQ(Drive(), "E");
  EXPECT_EQ(Found(), 1);
}

TEST_F(DriveDiscoveryTest, ControlSetsOneToNinetyNineAreSearched) {
  system.version = OsVersion{5, 1};
  files.AddDrive('E');
  struct Case {
    const char* control_set;
    const char* drive;
  };
  for (const Case& c : {Case{"002", "E"}, Case{"099", "E"}, Case{"000", ""}, Case{"100", ""},
                        Case{"2", ""}, Case{"02", ""}}) {
    registry = FakeRegistry();
    AddNtInstance(c.control_set);
    Mount('E', MediaData(kPrefix));
    Find();
    EXPECT_EQ(Drive(), c.drive) << c.control_set;
  }
}

TEST_F(DriveDiscoveryTest, FirstControlSetWithTheInstanceDecidesEvenWithoutPrefix) {
  system.version = OsVersion{5, 1};
  registry.AddKey(kLM, NtInstance("001"));
  AddNtInstance("002");
  Mount('E', MediaData(kPrefix));
  files.AddDrive('E');
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
  EXPECT_FALSE(OpenedUnder("SYSTEM\\ControlSet002"));
  EXPECT_FALSE(Opened(kMounted));
}

TEST_F(DriveDiscoveryTest, LaterMatchingLetterWins) {
  AddBoardNt();
  Mount('G', MediaData(kPrefix, "&RM#{other}"));
  files.AddDrive('G');
  Find();
  EXPECT_EQ(Drive(), "G");
  EXPECT_EQ(Found(), 1);
}

TEST_F(DriveDiscoveryTest, MountedDataMustStartWithTheWholePattern) {
  AddBoardNt();
  // Exactly the pattern matches; one character short does not.
  Mount('E', MediaData(kPrefix, ""));
  Find();
  EXPECT_EQ(Drive(), "E");

  auto short_data = MediaData(kPrefix, "");
  short_data.resize(short_data.size() - 2);
  Mount('E', short_data);
  Find();
  EXPECT_EQ(Drive(), "");

  Mount('E', MediaData("7&2a6b1c3e&0"));
  Find();
  EXPECT_EQ(Drive(), "");

  Mount('E', {});
  Find();
  EXPECT_EQ(Drive(), "");
}

TEST_F(DriveDiscoveryTest, MountedDataMustFitIn1000Bytes) {
  AddBoardNt();
  auto data = MediaData(kPrefix, "");
  data.resize(1000, 0x41);
  Mount('E', data);
  Find();
  EXPECT_EQ(Drive(), "E");

  data.push_back(0x41);
  Mount('E', data);
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

TEST_F(DriveDiscoveryTest, MountedDataReadIsTriedFiveTimes) {
  AddBoardNt();
  registry.FailNextReads(DosDevice('E'), 4);
  Find();
  EXPECT_EQ(Drive(), "E");
  EXPECT_EQ(registry.ReadsOf(DosDevice('E')), 6) << "five by the scan, one by the drive check";
  // A letter whose value is read at once is read once; one that is missing, five times.
  EXPECT_EQ(registry.ReadsOf(DosDevice('C')), 1);
  EXPECT_EQ(registry.ReadsOf(DosDevice('Z')), 5);

  registry.FailNextReads(DosDevice('E'), 5);
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

TEST_F(DriveDiscoveryTest, WithoutTheMountedDeviceTableNothingIsFound) {
  system.version = OsVersion{5, 1};
  AddNtInstance("001");
  files.AddDrive('E');
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

// --- Windows Vista and later: the volume of the board's storage unit

class LaterWindowsTest : public DriveDiscoveryTest {
 protected:
  // The board on E under Windows 10, beside a fixed disk on C (a disk
  // signature and offset) and another USB disk on F.
  void AddBoardLater() {
    system.version = OsVersion{10, 0};
    Mount('C', {0x12, 0x34, 0x56, 0x78, 0x00, 0x7E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    Mount('E', Utf16(kBoardUnit0 + kDiskClass));
    Mount('F', Utf16(kOtherUsbDisk + kDiskClass));
    files.AddDrive('E');
    files.AddDrive('F');
  }
};

TEST_F(LaterWindowsTest, EveryNtVersionAfterXpFindsTheBoardsVolume) {
  AddBoardLater();
  for (const OsVersion version : {OsVersion{5, 2}, OsVersion{6, 0}, OsVersion{6, 1},
                                  OsVersion{6, 2}, OsVersion{6, 3}, OsVersion{10, 0}}) {
    SCOPED_TRACE(std::to_string(version.major) + "." + std::to_string(version.minor));
    system.version = version;
    files.log.clear();
    Find();
    EXPECT_EQ(Drive(), "E");
    EXPECT_EQ(Found(), 1);
    EXPECT_EQ(files.CountOps("cd E:"), 1) << "the letter is confirmed by entering it";
  }
  // Only the mounted-device table is read: no control set, no 9x key.
  for (const auto& path : registry.OpenedPaths()) EXPECT_EQ(path, kMounted);
}

TEST_F(LaterWindowsTest, AnotherUsbDiskAloneIsNotTheBoard) {
  system.version = OsVersion{6, 1};
  Mount('E', Utf16(kOtherUsbDisk + kDiskClass));
  // A disk of the same make with another serial number, and the XP-style
  // entry of the board, are not the board either.
  Mount('G', Utf16("_??_USBSTOR#Disk&Ven_KORA&Prod_Z-4&Rev_1.00#000000000001&0#" + kDiskClass));
  Mount('H', MediaData(kPrefix));
  AddNtInstance("001");
  for (char letter : {'E', 'G', 'H'}) files.AddDrive(letter);
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
  EXPECT_EQ(files.CountOps("cd"), 0);
}

TEST_F(LaterWindowsTest, VersionFivePointTwoAlsoTakesTheXpRouteWhenNoVolumeNamesTheBoard) {
  Mount('H', MediaData(kPrefix));
  AddNtInstance("001");
  files.AddDrive('H');
  for (const OsVersion version : {OsVersion{5, 2}, OsVersion{6, 0}}) {
    system.version = version;
    Find();
    EXPECT_EQ(Drive(), version.major == 5 ? "H" : "") << version.major << "." << version.minor;
  }
}

TEST_F(LaterWindowsTest, TheDevicePathIsComparedUpToTheUnitWithoutRegardToCase) {
  AddBoardLater();
  std::string upper = kBoardUnit0 + kDiskClass;
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  std::string lower = kBoardUnit0;
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  // A letter with a high byte is another character, whatever its low byte.
  const std::size_t k = kBoardUnit0.find("KORA");
  std::vector<std::uint8_t> wide_k = Utf16(kBoardUnit0);
  wide_k[2 * k + 1] = 0x01;
  std::vector<std::uint8_t> short_data = Utf16(kBoardUnit0);
  short_data.pop_back();  // half of the closing "#"

  struct Case {
    const char* what;
    std::vector<std::uint8_t> data;
    const char* drive;
  };
  const Case cases[] = {
      {"exactly up to the unit", Utf16(kBoardUnit0), "E"},
      {"upper case", Utf16(upper), "E"},
      {"lower case", Utf16(lower), "E"},
      {"any interface class after the unit", Utf16(kBoardUnit0 + "{other}"), "E"},
      {"one character short", Utf16(kBoardUnit0.substr(0, kBoardUnit0.size() - 1)), ""},
      {"one byte short", short_data, ""},
      {"empty", {}, ""},
      {"unit 1 in user mode", Utf16(kBoardUnit1 + kDiskClass), ""},
      {"unit 10", Utf16(kBoardUnit0.substr(0, kBoardUnit0.size() - 2) + "10#"), ""},
      {"a character with a high byte", wide_k, ""},
      {"ASCII bytes, not UTF-16", std::vector<std::uint8_t>(kBoardUnit0.begin(), kBoardUnit0.end()),
       ""},
  };
  for (const Case& c : cases) {
    Mount('E', c.data);
    Find();
    EXPECT_EQ(Drive(), c.drive) << c.what;
  }
}

TEST_F(LaterWindowsTest, LaterMatchingLetterWins) {
  AddBoardLater();
  Mount('G', Utf16(kBoardUnit0 + kDiskClass));
  files.AddDrive('G');
  Find();
  EXPECT_EQ(Drive(), "G");
  EXPECT_EQ(Found(), 1);

  // The last match counts even when it cannot be entered: nothing is found.
  files.RemoveDrive('G');
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

TEST_F(LaterWindowsTest, MountedDataMustFitIn1000BytesAndIsReadUpToFiveTimes) {
  AddBoardLater();
  auto data = Utf16(kBoardUnit0);
  data.resize(1000, 0x41);
  Mount('E', data);
  Find();
  EXPECT_EQ(Drive(), "E");

  data.push_back(0x41);
  Mount('E', data);
  Find();
  EXPECT_EQ(Drive(), "");

  Mount('E', Utf16(kBoardUnit0 + kDiskClass));
  registry.FailNextReads(DosDevice('E'), 4);
  Find();
  EXPECT_EQ(Drive(), "E");
  registry.FailNextReads(DosDevice('E'), 5);
  Find();
  EXPECT_EQ(Drive(), "");
}

TEST_F(LaterWindowsTest, WithoutTheMountedDeviceTableNothingIsFound) {
  system.version = OsVersion{6, 1};
  files.AddDrive('E');
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

TEST_F(LaterWindowsTest, TestAdjustModeTakesUnit1WithoutProbing) {
  SharedState::SetTestAdjustMode(1);
  AddBoardLater();
  Mount('G', Utf16("_??_usbstor#DISK&VEN_KORA&PROD_Z-4&REV_1.00#000000000000&1#" + kDiskClass));
  files.AddDrive('G');
  files.EjectMedium('G');
  Find();
  EXPECT_EQ(Drive(), "G");
  EXPECT_EQ(Found(), 1);
  EXPECT_EQ(files.CountOps("cd"), 0);

  // Unit 0 alone is of no use here.
  registry = FakeRegistry();
  AddBoardLater();
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

TEST_F(LaterWindowsTest, WindowsXpKeepsToItsOwnRoute) {
  // The volume entry of later Windows means nothing on XP or 2000.
  AddBoardLater();
  for (const OsVersion version : {OsVersion{5, 1}, OsVersion{5, 0}}) {
    system.version = version;
    Find();
    EXPECT_EQ(Drive(), "");
    EXPECT_EQ(Found(), 0);
  }
  // With the XP entries for G as well, XP takes G and later Windows E.
  AddNtInstance("001");
  Mount('G', MediaData(kPrefix));
  files.AddDrive('G');
  system.version = OsVersion{5, 1};
  Find();
  EXPECT_EQ(Drive(), "G");
  system.version = OsVersion{6, 0};
  Find();
  EXPECT_EQ(Drive(), "E");
}

// --- Comparing a value with a text

TEST_F(DriveDiscoveryTest, ValueEqualsComparesTextUpToItsZeroInA256ByteBuffer) {
  const std::string path = "key";
  registry.SetString(kLM, path, "exact", "QXR4");
  registry.SetString(kLM, path, "longer", "QXR45");
  registry.SetString(kLM, path, "shorter", "QXR");
  registry.SetString(kLM, path, "case", "qxr4");
  registry.SetBinary(kLM, path, "padded", Padded("QXR4", 256));
  registry.SetBinary(kLM, path, "too long", Padded("QXR4", 257));
  registry.SetBinary(kLM, path, "unterminated", {'Q', 'X', 'R', '4'});
  registry.SetBinary(kLM, path, "tail after zero", {'Q', 'X', 'R', '4', 0, 'Z', 0});

  RegistryKey key = RegistryKey::Open(registry, kLM, path);
  ASSERT_TRUE(key);
  for (const char* name : {"exact", "padded", "unterminated", "tail after zero"}) {
    EXPECT_TRUE(RegistryValueEquals(registry, key, name, "QXR4")) << name;
  }
  for (const char* name : {"longer", "shorter", "case", "too long", "missing"}) {
    EXPECT_FALSE(RegistryValueEquals(registry, key, name, "QXR4")) << name;
  }
}

// --- Confirming the drive

TEST_F(DriveDiscoveryTest, LetterThatCannotBeEnteredIsDropped) {
  AddBoardNt();
  files.RemoveDrive('E');
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);

  system.version = OsVersion{4, 10};
  AddBoard9x(false);
  files.RemoveDrive('E');
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

TEST_F(DriveDiscoveryTest, EmptyDriveIsNotProbed) {
  SharedState::SetDeviceFound(1);
  ConfirmDeviceDrive(ports);
  EXPECT_EQ(Found(), 0);
  EXPECT_EQ(files.CountOps("cd"), 0);
}

TEST_F(DriveDiscoveryTest, ProbeRestoresTheCurrentDirectory) {
  files.AddDrive('E');
  EXPECT_TRUE(ProbeDrive(ports, "E"));
  EXPECT_EQ(files.CurrentDirectory(), "C:\\work");
  EXPECT_FALSE(ProbeDrive(ports, "Q"));
  EXPECT_EQ(files.CurrentDirectory(), "C:\\work");
  EXPECT_EQ(files.log, (std::vector<std::string>{"cd E:", "cd C:\\work", "cd Q:", "cd C:\\work"}));
  // The probe reports; it does not publish.
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

TEST_F(DriveDiscoveryTest, ProbeRestoresADirectoryLongerThan260Characters) {
  files.AddDrive('E');
  std::string deep = "C:\\work";
  while (deep.size() <= 300) deep += "\\folder_with_a_long_name_" + std::to_string(deep.size());
  files.AddDirectory(deep);
  ASSERT_TRUE(files.EnterDirectory(deep));
  EXPECT_TRUE(ProbeDrive(ports, "E"));
  EXPECT_EQ(files.CurrentDirectory(), deep);
  EXPECT_FALSE(ProbeDrive(ports, "Q"));
  EXPECT_EQ(files.CurrentDirectory(), deep);
}

TEST_F(DriveDiscoveryTest, DriveErrorDialogsAreOffOnlyWhileProbing) {
  files.AddDrive('E');
  system.error_mode = 0x0004;
  std::vector<unsigned> modes;
  files.before_operation = [&](const std::string&) { modes.push_back(system.error_mode); };
  EXPECT_TRUE(ProbeDrive(ports, "E"));
  EXPECT_EQ(system.error_mode, 0x0004u);
  EXPECT_FALSE(ProbeDrive(ports, "Q"));
  EXPECT_EQ(system.error_mode, 0x0004u);
  ASSERT_EQ(modes.size(), 4u);
  EXPECT_EQ(modes[0], FakeSystem::kQuietMode);  // entering E:
  EXPECT_EQ(modes[2], FakeSystem::kQuietMode);  // entering Q:
}

TEST_F(DriveDiscoveryTest, DiscoveryLeavesTheCurrentDirectoryAsItWas) {
  AddBoardNt();
  Find();
  EXPECT_EQ(Found(), 1);
  EXPECT_EQ(files.CurrentDirectory(), "C:\\work");
  files.RemoveDrive('E');
  Find();
  EXPECT_EQ(Found(), 0);
  EXPECT_EQ(files.CurrentDirectory(), "C:\\work");
}

TEST_F(DriveDiscoveryTest, EachDiscoveryStartsFromNothing) {
  AddBoardNt();
  Find();
  EXPECT_EQ(Drive(), "E");
  registry = FakeRegistry();
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

// --- Test/adjust mode works on the second logical unit and does not probe it

TEST_F(DriveDiscoveryTest, TestAdjustWindows98TakesTheUnitReportingLun1) {
  SharedState::SetTestAdjustMode(1);
  system.version = OsVersion{4, 10};
  AddBoard9x(false);
  files.EjectMedium('F');
  Find();
  EXPECT_EQ(Drive(), "F");
  EXPECT_EQ(Found(), 1);
  EXPECT_EQ(files.CountOps("cd"), 0);

  // When both keys report LUN 1 the second wins.
  AddUnit(k98Key0, "1", "E");
  AddUnit(k98Key1, "1", "G");
  files.AddDrive('G');
  files.EjectMedium('G');
  Find();
  EXPECT_EQ(Drive(), "G");

  // A key reporting LUN 0 is of no use here.
  AddUnit(k98Key0, "0", "E");
  AddUnit(k98Key1, "0", "F");
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

TEST_F(DriveDiscoveryTest, TestAdjustWindowsMeTakesTheLun1KeysLetter) {
  SharedState::SetTestAdjustMode(1);
  system.version = OsVersion{4, 90};
  AddBoard9x(true);
  AddUnit(kMeKey1, "0", "F");
  files.EjectMedium('F');
  Find();
  EXPECT_EQ(Drive(), "F");
  EXPECT_EQ(Found(), 1);
  EXPECT_EQ(files.CountOps("cd"), 0);
}

TEST_F(DriveDiscoveryTest, TestAdjustWindowsXpTakesTheSameLetterWithoutProbing) {
  SharedState::SetTestAdjustMode(2);
  AddBoardNt();
  files.EjectMedium('E');
  Find();
  EXPECT_EQ(Drive(), "E");
  EXPECT_EQ(Found(), 1);
  EXPECT_EQ(files.CountOps("cd"), 0);

  registry = FakeRegistry();
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

// --- Only the board's drive is taken: before anything on a drive is touched

struct BoardDriveCase {
  const char* what;
  OsVersion version;
  std::string option;                     // "/drive:" letter, or "" for the registry route
  DriveKind kind;                         // of the drive that is found or named
  std::vector<std::uint8_t> f;            // the mounted-device data of F: (none when empty)
  std::string volume;                     // the name Windows gives F:'s volume ("" none)
  std::vector<std::uint8_t> volume_data;  // what the table holds for that volume
  bool taken;
};

class BoardDriveTest : public DriveDiscoveryTest,
                       public ::testing::WithParamInterface<BoardDriveCase> {};

TEST_P(BoardDriveTest, ADriveThatIsNotTheBoardsIsNeitherProbedNorKept) {
  const BoardDriveCase& c = GetParam();
  system.version = c.version;
  AddNtInstance("001");
  registry.SetString(kLM,
                     "SYSTEM\\ControlSet001\\Enum\\USBSTOR\\Disk&Ven_KORA&Prod_Z-4&Rev_1.00\\"
                     "000000000000&1",
                     "ParentIdPrefix", "7&2a6b1c3d&1");
  if (!c.f.empty()) Mount('F', c.f);
  files.AddDrive('F', c.kind);
  if (!c.volume.empty()) {
    files.SetVolumeName('F', "\\\\?\\" + c.volume + "\\");
    registry.SetBinary(kLM, kMounted, "\\??\\" + c.volume, c.volume_data);
  }
  SharedState::SetDriveOption(c.option);
  files.log.clear();
  Find();
  EXPECT_EQ(Drive(), c.taken ? "F" : "");
  EXPECT_EQ(Found(), c.taken ? 1 : 0);
  EXPECT_EQ(files.CountOps("cd F:"), c.taken ? 1 : 0) << "a refused drive is not even entered";
}

const auto kVista = OsVersion{6, 1};
const auto kXp = OsVersion{5, 1};
const std::vector<std::uint8_t> kBoardOnF = Utf16(kBoardUnit0 + kDiskClass);
const std::vector<std::uint8_t> kStickOnF = Utf16(kOtherUsbDisk + kDiskClass);
const std::string kVolume = "Volume{6a7c1e30-0000-0000-0000-100000000000}";

INSTANTIATE_TEST_SUITE_P(
    Drives, BoardDriveTest,
    ::testing::Values(
        BoardDriveCase{"fixed", kVista, "F", DriveKind::Fixed, {}, "", {}, false},
        BoardDriveCase{"network", kVista, "F", DriveKind::Remote, {}, "", {}, false},
        BoardDriveCase{"9x fixed", OsVersion{4, 10}, "F", DriveKind::Fixed, {}, "", {}, false},
        BoardDriveCase{
            "9x removable", OsVersion{4, 10}, "F", DriveKind::Removable, {}, "", {}, true},
        BoardDriveCase{"named removable", kVista, "F", DriveKind::Removable, {}, "", {}, true},
        BoardDriveCase{"named stick", kVista, "F", DriveKind::Removable, kStickOnF, "", {}, false},
        BoardDriveCase{"named board", kVista, "F", DriveKind::Removable, kBoardOnF, "", {}, true},
        BoardDriveCase{"found", kVista, "", DriveKind::Removable, kBoardOnF, kVolume, kBoardOnF,
                       true},
        BoardDriveCase{
            "found, no volume name", kVista, "", DriveKind::Removable, kBoardOnF, "", {}, true},
        BoardDriveCase{"stale entry, a stick now", kVista, "", DriveKind::Removable, kBoardOnF,
                       kVolume, kStickOnF, false},
        BoardDriveCase{
            "stale entry, a share now", kVista, "", DriveKind::Remote, kBoardOnF, "", {}, false},
        BoardDriveCase{"xp board unit 1",
                       kXp,
                       "F",
                       DriveKind::Removable,
                       MediaData("7&2a6b1c3d&1"),
                       "",
                       {},
                       true},
        BoardDriveCase{"xp other medium",
                       kXp,
                       "F",
                       DriveKind::Removable,
                       MediaData("8&1f2e3d&0"),
                       "",
                       {},
                       false}),
    [](const ::testing::TestParamInfo<BoardDriveCase>& info) {
      std::string name = info.param.what;
      std::replace_if(
          name.begin(), name.end(), [](char ch) { return !std::isalnum(ch); }, '_');
      return name;
    });

// --- A drive letter named on the command line

TEST_F(DriveDiscoveryTest, ANamedDriveSkipsTheRegistryOnEveryWindowsAndIsStillProbed) {
  for (const OsVersion version :
       {OsVersion{6, 1}, OsVersion{10, 0}, OsVersion{5, 1}, OsVersion{4, 10}}) {
    SCOPED_TRACE(std::to_string(version.major) + "." + std::to_string(version.minor));
    registry = FakeRegistry();
    AddBoardNt();  // the board's letter in the registry, E, must not count
    Mount('E', Utf16(kBoardUnit0 + kDiskClass));
    system.version = version;
    files.AddDrive('F');
    SharedState::SetDriveOption("F");
    Find();
    EXPECT_EQ(Drive(), "F");
    EXPECT_EQ(Found(), 1);
    EXPECT_EQ(files.CountOps("cd F:"), 1) << "the drive is entered to confirm it";
    files.log.clear();
  }
  files.RemoveDrive('F');
  Find();
  EXPECT_EQ(Drive(), "");
  EXPECT_EQ(Found(), 0);
}

TEST_F(DriveDiscoveryTest, ANamedDriveInTestAdjustModeIsTakenWithoutProbing) {
  SharedState::SetTestAdjustMode(1);
  SharedState::SetDriveOption("G");
  files.AddDrive('G');
  files.EjectMedium('G');
  Find();
  EXPECT_EQ(Drive(), "G");
  EXPECT_EQ(Found(), 1);
  EXPECT_EQ(files.CountOps("cd"), 0);
}

// --- The key owner

TEST_F(DriveDiscoveryTest, RegistryKeyClosesWhatItOwnsExactlyOnce) {
  registry.AddKey(kLM, "a");
  registry.AddKey(kLM, "b");
  {
    RegistryKey a = RegistryKey::Open(registry, kLM, "a");
    ASSERT_TRUE(a);
    RegistryKey moved(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(registry.OpenHandles(), 1);

    RegistryKey b = RegistryKey::Open(registry, kLM, "b");
    EXPECT_EQ(registry.OpenHandles(), 2);
    b = std::move(moved);  // b's own key is closed first
    EXPECT_EQ(registry.OpenHandles(), 1);
    EXPECT_TRUE(b.Close());
    EXPECT_FALSE(b);
    EXPECT_EQ(registry.OpenHandles(), 0);
    // Already closed: nothing is passed to the registry again.
    EXPECT_TRUE(b.Close());
  }
  {
    RegistryKey a = RegistryKey::Open(registry, kLM, "a");
    EXPECT_EQ(registry.OpenHandles(), 1);
  }
  EXPECT_EQ(registry.OpenHandles(), 0);

  RegistryKey missing = RegistryKey::Open(registry, kLM, "c");
  EXPECT_FALSE(missing);
  EXPECT_TRUE(missing.Close());
}

TEST_F(DriveDiscoveryTest, RegistryKeyReportsAFailedClose) {
  registry.AddKey(kLM, "a");
  registry.fail_close = true;
  RegistryKey a = RegistryKey::Open(registry, kLM, "a");
  EXPECT_FALSE(a.Close());
  EXPECT_FALSE(a);
  EXPECT_EQ(registry.OpenHandles(), 0);
}

}  // namespace
}  // namespace z4
