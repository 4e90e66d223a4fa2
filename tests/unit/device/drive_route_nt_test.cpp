// Windows 2000 and XP: the storage instance's parent id prefix and the mounted-device table.
#include "device/drive_route_nt.h"

#include <gtest/gtest.h>

#include "drive_discovery_fixture.h"

namespace z4 {
namespace {

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

}  // namespace
}  // namespace z4
