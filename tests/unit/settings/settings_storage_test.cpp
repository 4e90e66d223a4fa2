// The settings read from the program folder's and the board's file, and the local copy rewritten.
#include "settings/settings_storage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <string_view>

#include "core/shared_state.h"
#include "device/board_file_limits.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/virtual_clock.h"
#include "settings/settings_format.h"

namespace z4 {
namespace {

using namespace std::string_literals;

constexpr char kProgramIni[] = "C:\\Program Files\\Z4\\Z4.INI";
constexpr char kLocalIni[] = "C:\\Program Files\\Z4\\BackupZ4\\Z4.INI";
constexpr char kBoardIni[] = "E:\\Z4.INI";

constexpr char kSevenLines[] =
    "Density:75\r\n"
    "CCFLOffTim:030\r\n"
    "CCFLStabTim:020\r\n"
    "FileFormat:T\r\n"
    "Setting:H\r\n"
    "FileDate:2004/01/01 00:00:00\r\n"
    "ImageMove:N\r\n";

SettingsRecord Record(int density, int off, int stab, int format, int setting, std::string date,
                      int move) {
  SettingsRecord r;
  r.Density = density;
  r.CCFLOffTim = off;
  r.CCFLStabTim = stab;
  r.FileFormat = format;
  r.Setting = setting;
  r.FileDate = std::move(date);
  r.ImageMove = move;
  return r;
}

// ---- whole files through the ports

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SharedState::Reset();
    SharedState::SetDeviceDrive("E");
    SharedState::SetDeviceFound(1);
    fs.AddDrive('E');
    fs.AddDirectory("C:\\Program Files\\Z4");
  }
  void TearDown() override { SharedState::Reset(); }

  SettingsRecord Loaded(int use_defaults = 0) {
    EXPECT_EQ(LoadSettings(ports, use_defaults), 0);
    return SharedState::GetDeviceSettings();
  }

  fakes::FakeFileSystem fs;
  fakes::FakeSystem system;
  fakes::VirtualClock clock;
  fakes::FakeRegistry registry;
  Ports ports{registry, system, fs, clock};
};

// A file as a board might leave it: LF-only ends, a comment, an unknown key,
// an indented line, a repeated key, invalid values, no ImageMove line and no
// LF after the last line.
constexpr char kBoardFile[] =
    "; Z-4 settings\n"
    "  Density:95 ; too dark\n"
    "Density:80\n"
    "CCFLOffTim:0045\n"
    "Vendor:KORA\n"
    "CCFLStabTim: 20\n"
    "FileFormat:p\n"
    "Setting:V\n"
    ";ImageMove:Y\n"
    "FileDate:2004/02/29 12:00:00";

constexpr char kBoardFileRewritten[] =
    "; Z-4 settings\r\n"
    "  Density:72\r\n"
    "Density:80\r\n"
    "CCFLOffTim:045\r\n"
    "Vendor:KORA\r\n"
    "CCFLStabTim:015\r\n"
    "FileFormat:P\r\n"
    "Setting:V\r\n"
    ";ImageMove:Y\r\n"
    "FileDate:2005/06/07 08:09:10\r\n"
    "ImageMove:Y\r\n";

TEST_F(SettingsFileTest, WithoutAnyFileTheBuiltInValuesStand) {
  SharedState::SetDeviceSettings(Record(1, 2, 3, 4, 5, "x", 6));
  EXPECT_EQ(Loaded(), Record(75, 30, 20, 1, 0, "2004/01/01 00:00:00", 0));
}

TEST_F(SettingsFileTest, LoadTakesTheFirstValidLineOfEachKeyOfTheBoardFile) {
  fs.AddFile(kBoardIni, kBoardFile);
  EXPECT_EQ(Loaded(), Record(80, 45, 20, 1, 1, "2004/02/29 12:00:00", 0));
  EXPECT_EQ(fs.Contents(kLocalIni), kBoardFile) << "read from the fetched copy";
}

TEST_F(SettingsFileTest, CrLfAndLfOnlyFilesLoadAlike) {
  std::string crlf;
  for (char c : std::string(kBoardFile))
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  fs.AddFile(kBoardIni, crlf);
  const SettingsRecord from_crlf = Loaded();
  fs.AddFile(kBoardIni, kBoardFile);
  EXPECT_EQ(Loaded(), from_crlf);
}

TEST_F(SettingsFileTest, TheBoardFileOverridesTheProgramFolderFileKeyByKey) {
  fs.AddFile(kProgramIni, "Density:85\r\nCCFLStabTim:60\r\nImageMove:Y\r\n");
  fs.AddFile(kBoardIni, "CCFLStabTim:30\r\nImageMove:x\r\nFileFormat:P\r\n");
  EXPECT_EQ(Loaded(), Record(85, 30, 30, 0, 0, "2004/01/01 00:00:00", 1));
}

TEST_F(SettingsFileTest, AKeyAcceptedFromTheProgramFolderFileCanStillComeFromTheBoard) {
  fs.AddFile(kProgramIni, "Density:85\r\n");
  fs.AddFile(kBoardIni, "Density:80\r\n");
  EXPECT_EQ(Loaded().Density, 80);
}

TEST_F(SettingsFileTest, UseDefaultsLeavesTheBoardAlone) {
  fs.AddFile(kProgramIni, "Density:85\r\n");
  fs.AddFile(kBoardIni, "Density:80\r\nCCFLOffTim:100\r\n");
  const SettingsRecord r = Loaded(1);
  EXPECT_EQ(r.Density, 85);
  EXPECT_EQ(r.CCFLOffTim, 30);
  for (const auto& op : fs.log) EXPECT_EQ(op.find("E:"), std::string::npos) << op;
}

TEST_F(SettingsFileTest, ABoardFileThatCannotBeFetchedLeavesTheProgramFolderValues) {
  fs.AddFile(kProgramIni, "Density:85\r\n");
  fs.AddFile(kBoardIni, "Density:80\r\n");
  fs.AddFile(kLocalIni, "Density:70\r\n");  // stale copy from an earlier run
  fs.SetHeldOpen(kBoardIni, true);
  EXPECT_EQ(Loaded().Density, 85);
  SharedState::SetDeviceFound(0);
  EXPECT_EQ(Loaded().Density, 85);
}

TEST_F(SettingsFileTest, LinesBeyondTheThousandthAreReadAndTheLastLineNeedsNoLf) {
  std::string file;
  for (int i = 0; i < 1500; ++i) file += "; filler\r\n";
  file += "ImageMove:Y";
  fs.AddFile(kBoardIni, file);
  EXPECT_EQ(Loaded().ImageMove, 1);
}

TEST_F(SettingsFileTest, AProgramFolderFileThatCannotBeReadIsPassedOverForTheBoardsFile) {
  fs.AddFile(kProgramIni, "Density:85\r\nSetting:V\r\n");
  fs.AddFile(kBoardIni, "Density:80\r\n");
  fs.SetHeldOpen(kProgramIni, true);
  SharedState::SetDeviceSettings(Record(1, 2, 3, 4, 5, "x", 6));
  EXPECT_EQ(LoadSettings(ports, 0), 0);
  SettingsRecord expected = BuiltInSettings();
  expected.Density = 80;
  EXPECT_EQ(SharedState::GetDeviceSettings(), expected)
      << "the board's value over the built-in ones, nothing of the locked file";
  EXPECT_EQ(fs.Contents(kLocalIni), "Density:80\r\n") << "the board's file was fetched";

  // Without the board's file the built-in values stand, not the locked file's.
  fs.Delete(kBoardIni);
  EXPECT_EQ(LoadSettings(ports, 0), 0);
  EXPECT_EQ(SharedState::GetDeviceSettings(), BuiltInSettings());
}

TEST_F(SettingsFileTest, AFetchedCopyThatCannotBeReadIsAFailure) {
  fs.AddFile(kProgramIni, "Density:85\r\n");
  fs.AddFile(kBoardIni, "Density:80\r\n");
  fs.before_operation = [&](const std::string& op) {
    if (op == std::string("read ") + kLocalIni) fs.SetHeldOpen(kLocalIni, true);
  };
  EXPECT_NE(LoadSettings(ports, 0), 0);
  EXPECT_EQ(SharedState::GetDeviceSettings().Density, 85);
}

TEST_F(SettingsFileTest, ABoardFileFarLargerThanAnySettingsFileIsAFailureForLoadAndSave) {
  fs.AddFile(kProgramIni, "Density:85\r\n");
  std::string huge = "Density:80\r\n";
  huge += std::string(kSettingsFileLimit, ';') + "\r\n";
  fs.AddFile(kBoardIni, huge);
  EXPECT_NE(LoadSettings(ports, 0), 0);
  EXPECT_EQ(SharedState::GetDeviceSettings().Density, 85) << "nothing of it is taken";
  EXPECT_NE(SaveSettings(ports, BuiltInSettings()), 0) << "nor is it rewritten";
  EXPECT_EQ(fs.CountOps("replace"), 0);
}

TEST_F(SettingsFileTest, SaveFromNothingWritesTheSevenLinesInKeyOrder) {
  fs.AddFile(kLocalIni, "Density:80\r\nsomething old\r\n");
  EXPECT_EQ(SaveSettings(ports, BuiltInSettings()), 0);
  EXPECT_EQ(fs.Contents(kLocalIni), kSevenLines);
  EXPECT_FALSE(fs.Exists(kBoardIni)) << "the board gets the file by delivery only";
}

TEST_F(SettingsFileTest, SaveRewritesTheBoardFileLineByLine) {
  fs.AddFile(kBoardIni, kBoardFile);
  const SettingsRecord before = SharedState::GetDeviceSettings();
  EXPECT_EQ(SaveSettings(ports, Record(72, 45, 15, 0, 1, "2005/06/07 08:09:10", 1)), 0);
  EXPECT_EQ(fs.Contents(kLocalIni), kBoardFileRewritten);
  EXPECT_EQ(fs.Contents(kBoardIni), kBoardFile) << "nothing is written on the board in place";
  EXPECT_EQ(SharedState::GetDeviceSettings(), before);
}

TEST_F(SettingsFileTest, SaveEndsEveryLineInCrLf) {
  fs.AddFile(kBoardIni, "a\r\nb\rc\nd\r\r\n\ne\r");
  EXPECT_EQ(SaveSettings(ports, BuiltInSettings()), 0);
  EXPECT_EQ(fs.Contents(kLocalIni), std::string("a\r\nb\rc\r\nd\r\r\n\r\ne\r\n") + kSevenLines);
}

TEST_F(SettingsFileTest, SaveKeepsBytesItDoesNotUnderstand) {
  const std::string odd = "\xE8\xA8\xAD\xE5\xAE\x9A x\0y\tz\r\n"s;
  fs.AddFile(kBoardIni, odd + "Density:80\r\n");
  EXPECT_EQ(SaveSettings(ports, BuiltInSettings()), 0);
  const std::string saved = *fs.Contents(kLocalIni);
  EXPECT_EQ(saved.substr(0, odd.size()), odd);
  EXPECT_EQ(saved.substr(odd.size(), 12), "Density:75\r\n");
}

TEST_F(SettingsFileTest, SaveKeepsEveryLineOfALongFile) {
  std::string file;
  for (int i = 1; i <= 1200; ++i) {
    file += i == 1100 ? std::string("Density:80") : "; line " + std::to_string(i);
    file += "\r\n";
  }
  fs.AddFile(kBoardIni, file);
  EXPECT_EQ(SaveSettings(ports, BuiltInSettings()), 0);
  const std::string saved = *fs.Contents(kLocalIni);
  std::string expected = file;
  expected.replace(expected.find("Density:80"), 10, "Density:75");
  // Density was rewritten where it stood; the other six keys are appended.
  expected += std::string(kSevenLines).substr(12);
  EXPECT_EQ(saved, expected);
}

TEST_F(SettingsFileTest, ASavedFileLoadsBackAsTheRecord) {
  fs.AddFile(kBoardIni, kBoardFile);
  const SettingsRecord r = Record(72, 45, 15, 0, 1, "2005/06/07 08:09:10", 1);
  ASSERT_EQ(SaveSettings(ports, r), 0);
  fs.AddFile(kBoardIni, *fs.Contents(kLocalIni));  // what the delivery puts on the board
  EXPECT_EQ(Loaded(), r);
}

TEST_F(SettingsFileTest, AReadOnlyLocalCopyIsAFailureAndStaysAsItWas) {
  fs.AddFile(kBoardIni, kBoardFile);
  fs.AddFile(kLocalIni, "old copy\r\n");
  fs.SetReadOnly(kLocalIni, true);
  EXPECT_NE(SaveSettings(ports, BuiltInSettings()), 0);
  EXPECT_EQ(fs.Contents(kLocalIni), "old copy\r\n");
}

TEST_F(SettingsFileTest, AFullDiskLeavesTheOldCopyWhole) {
  fs.AddFile(kBoardIni, kBoardFile);
  // Room for the fetched copy, not for the rewritten file beside it.
  fs.SetFreeSpace('C', static_cast<std::int64_t>(sizeof(kBoardFile)) + 10);
  EXPECT_NE(SaveSettings(ports, Record(72, 45, 15, 0, 1, "2005/06/07 08:09:10", 1)), 0);
  EXPECT_EQ(fs.Contents(kLocalIni), kBoardFile);
}

TEST_F(SettingsFileTest, AFetchedCopyThatCannotBeReadIsNotOverwritten) {
  fs.AddFile(kBoardIni, kBoardFile);
  fs.before_operation = [&](const std::string& op) {
    if (op == std::string("read ") + kLocalIni) fs.SetHeldOpen(kLocalIni, true);
  };
  EXPECT_NE(SaveSettings(ports, BuiltInSettings()), 0);
  EXPECT_EQ(fs.CountOps("replace") + fs.CountOps("write"), 0);
  fs.SetHeldOpen(kLocalIni, false);
  EXPECT_EQ(fs.Contents(kLocalIni), kBoardFile);
}

TEST_F(SettingsFileTest, ABackupFolderThatCannotBeUsedIsAFailure) {
  fs.SetReadOnly("C:\\Program Files\\Z4", true);
  EXPECT_NE(SaveSettings(ports, BuiltInSettings()), 0);
  EXPECT_FALSE(fs.Exists(kLocalIni));
}

TEST_F(SettingsFileTest, ALostDriveDuringSaveWritesTheSevenLines) {
  fs.AddFile(kBoardIni, kBoardFile);
  fs.before_operation = [&](const std::string& op) {
    if (op.rfind("copy E:", 0) == 0) fs.RemoveDrive('E');
  };
  EXPECT_EQ(SaveSettings(ports, BuiltInSettings()), 0);
  EXPECT_EQ(fs.Contents(kLocalIni), kSevenLines);
}

}  // namespace
}  // namespace z4
