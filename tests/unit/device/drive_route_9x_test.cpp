// Windows 98 and Me: the list of present devices and the SCSI keys of the board's units.
#include "device/drive_route_9x.h"

#include <gtest/gtest.h>

#include "drive_discovery_fixture.h"

namespace z4 {
namespace {

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

}  // namespace
}  // namespace z4
