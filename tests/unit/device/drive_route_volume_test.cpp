// Windows versions after XP: the mounted-device value naming the board's storage unit.
#include "device/drive_route_volume.h"

#include <gtest/gtest.h>

#include "drive_discovery_fixture.h"

namespace z4 {
namespace {

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

}  // namespace
}  // namespace z4
