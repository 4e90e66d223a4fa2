// The choice of route, the confirmation of the letter, the board-drive check and a named drive.
#include "device/drive_discovery.h"

#include <gtest/gtest.h>

#include "drive_discovery_fixture.h"

namespace z4 {
namespace {

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
