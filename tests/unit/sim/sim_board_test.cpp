// The emulated board in virtual time on a fake drive E:, as the utility's own
// tests use it.
#include <algorithm>
#include <gtest/gtest.h>

#include "fakes/fake_board_storage.h"
#include "sim/board.h"
#include "sim/journal.h"
#include "sim/settings_file.h"
#include "sim/state_file.h"
#include "unit/sim/sim_board_fixture.h"

namespace z4::sim {
namespace {

using fakes::EmulatedBoard;

constexpr const char* kIni = "E:\\Z4.INI";
const std::string kReadJob = "SetDataOut:\r\nEnd:\r\n";
const std::string kWriteJob = "SetDataIn:\r\nEnd:\r\n";

Settings Custom() {
  Settings s;
  s.density = 82;
  s.ccfl_off_minutes = 60;
  s.ccfl_stab_seconds = 15;
  s.file_format = 'P';
  s.setting = 'V';
  s.file_date = "2010/07/04 09:30:00";
  s.image_move = 'Y';
  return s;
}

using SimBoard = SimBoardFixture;

TEST_F(SimBoard, DoesNothingWithoutAJobFile) {
  Start();
  clock.Advance(5000);
  EXPECT_TRUE(fs.List("E:").empty());
  EXPECT_TRUE(board().jobs().empty());
}

TEST_F(SimBoard, SettingsReadJobWritesTheStatesSettingsThenTheEndMarker) {
  Start(Custom());
  fs.AddFile(kJob, kReadJob);
  clock.Advance(50);
  EXPECT_EQ(fs.Contents(kIni),
            "; Z-4 user settings\r\n"
            "Density:82\r\n"
            "CCFLOffTim:060\r\n"
            "CCFLStabTim:015\r\n"
            "FileFormat:P\r\n"
            "Setting:V\r\n"
            "Version:1.00\r\n"
            "FileDate:2010/07/04 09:30:00\r\n"
            "ImageMove:Y\r\n");
  EXPECT_TRUE(fs.Exists(kMarker));
  // The job file stays for the utility to delete; nothing else is left over.
  EXPECT_EQ(fs.List("E:"), (std::vector<std::string>{"Z4.INI", "Z4.JOB", "Z4JOB.END"}));
  EXPECT_EQ(board().finished_jobs(), 1);
}

TEST_F(SimBoard, SettingsWriteJobKeepsAValidFileInStateAndStateFile) {
  EmulatedBoard& emulated_board = Start();
  const std::string written =
      "Density:82\r\n"
      "CCFLOffTim:060\r\n"
      "CCFLStabTim:015\r\n"
      "FileFormat:P\r\n"
      "Setting:V\r\n"
      "FileDate:2010/07/04 09:30:00\r\n"
      "ImageMove:Y\r\n";
  fs.AddFile(kIni, written);
  fs.AddFile(kJob, kWriteJob);
  clock.Advance(50);
  EXPECT_EQ(board().settings(), Custom());
  EXPECT_EQ(emulated_board.records().state, StateFileText(Custom()));
  EXPECT_TRUE(fs.Exists(kMarker));
  EXPECT_EQ(fs.Contents(kIni), written);  // read, not deleted or changed
}

TEST_F(SimBoard, SettingsWriteJobLeavesInvalidKeysAsTheyWere) {
  EmulatedBoard& emulated_board = Start(Custom());
  fs.AddFile(kIni,
             "Density:95\r\n"
             "CCFLOffTim:45\r\n"
             "FileFormat:t\r\n"
             "FileDate:2100/02/29 12:00:00\r\n"
             "Setting:H\r\n");
  fs.AddFile(kJob, kWriteJob);
  clock.Advance(50);
  Settings expected = Custom();
  expected.setting = 'H';
  EXPECT_EQ(board().settings(), expected);
  EXPECT_EQ(emulated_board.records().state, StateFileText(expected));
  ASSERT_TRUE(board().last_settings_read());
  EXPECT_EQ(board().last_settings_read()->rejected.size(), 4u);
  EXPECT_TRUE(fs.Exists(kMarker));
}

TEST_F(SimBoard, WholeInvalidFileChangesNeitherStateNorStateFile) {
  EmulatedBoard& emulated_board = Start(Custom());
  const auto state_before = emulated_board.records().state;
  fs.AddFile(kIni, "Density:75\n; LF only: not the board's line end\nSetting:H\n");
  fs.AddFile(kJob, kWriteJob);
  clock.Advance(50);
  EXPECT_EQ(board().settings(), Custom());
  EXPECT_EQ(emulated_board.records().state, state_before);
  EXPECT_TRUE(fs.Exists(kMarker));
}

TEST_F(SimBoard, SettingsWriteWaitsWhileThePcStillHoldsTheSettingsFile) {
  Start();
  fs.AddFile(kIni, SettingsFileText(Custom()));
  fs.SetHeldOpen(kIni, true);
  fs.AddFile(kJob, kWriteJob);
  clock.Advance(500);
  EXPECT_EQ(board().settings(), Settings{});
  EXPECT_FALSE(fs.Exists(kMarker));
  fs.SetHeldOpen(kIni, false);
  clock.Advance(50);
  EXPECT_EQ(board().settings(), Custom());
  EXPECT_TRUE(fs.Exists(kMarker));
}

TEST_F(SimBoard, RefusingBoardIgnoresTheSettingsFileButEndsTheJob) {
  BoardOptions options;
  options.refuse_settings = true;
  Start(Settings{}, options);
  fs.AddFile(kIni, SettingsFileText(Custom()));
  fs.AddFile(kJob, kWriteJob);
  clock.Advance(50);
  EXPECT_EQ(board().settings(), Settings{});
  EXPECT_TRUE(fs.Exists(kMarker));
}

TEST_F(SimBoard, SettingsWriteWithoutASettingsFileChangesNothing) {
  Start(Custom());
  fs.AddFile(kJob, kWriteJob);
  clock.Advance(50);
  EXPECT_EQ(board().settings(), Custom());
  EXPECT_TRUE(fs.Exists(kMarker));
  EXPECT_FALSE(fs.Exists(kIni));
}

TEST_F(SimBoard, WrittenSettingsComeBackInTheNextSettingsRead) {
  Start();
  fs.AddFile(kIni, SettingsFileText(Custom()));
  fs.AddFile(kJob, kWriteJob);
  clock.Advance(50);
  ClearJob();
  fs.Delete(kIni);
  fs.AddFile(kJob, kReadJob);
  clock.Advance(50);
  ASSERT_TRUE(fs.Contents(kIni));
  EXPECT_EQ(ReadSettingsFile(*fs.Contents(kIni), Settings{}).settings, Custom());
}

TEST_F(SimBoard, DelayPostponesOnlyTheEndMarker) {
  BoardOptions options;
  options.end_delay_ms = 3000;
  Start(Settings{}, options);
  fs.AddFile(kJob, kReadJob);
  clock.Advance(50);  // taken at 50: the marker is due at 3050
  EXPECT_TRUE(fs.Exists(kIni));
  clock.AdvanceTo(3000);
  EXPECT_FALSE(fs.Exists(kMarker));
  EXPECT_FALSE(board().idle());
  clock.AdvanceTo(3050);
  EXPECT_TRUE(fs.Exists(kMarker));
  EXPECT_TRUE(board().idle());
}

TEST_F(SimBoard, NeverEndingBoardDoesTheWorkButWritesNoMarker) {
  BoardOptions options;
  options.never_end = true;
  Start(Settings{}, options);
  fs.AddFile(kJob, kReadJob);
  clock.Advance(60000);
  EXPECT_TRUE(fs.Exists(kIni));
  EXPECT_FALSE(fs.Exists(kMarker));
  EXPECT_EQ(board().jobs().size(), 1u);  // taken once, not again and again
  // Once the utility gives up and replaces the job, the next one is taken.
  fs.Delete(kJob);
  clock.Advance(50);
  fs.AddFile(kJob, kWriteJob);
  clock.Advance(50);
  EXPECT_EQ(board().jobs().size(), 2u);
}

TEST_F(SimBoard, AJobFileHeldOpenByThePcIsTakenOnlyOnceReleased) {
  Start();
  fs.AddFile(kJob, kReadJob);
  fs.SetHeldOpen(kJob, true);
  clock.Advance(1000);
  EXPECT_TRUE(board().jobs().empty());
  EXPECT_FALSE(fs.Exists(kIni));
  fs.SetHeldOpen(kJob, false);
  clock.Advance(50);
  EXPECT_EQ(board().jobs().size(), 1u);
  EXPECT_TRUE(fs.Exists(kMarker));
}

TEST_F(SimBoard, HeldOpenSwitchLocksTheWrittenFileForAWhile) {
  BoardOptions options;
  options.holds.push_back({"z4.ini", 2000});
  Start(Settings{}, options);
  fs.AddFile(kJob, kReadJob);
  clock.Advance(50);  // written and held from 50 to 2050
  EXPECT_TRUE(fs.Exists(kMarker));
  EXPECT_FALSE(fs.ReadFile(kIni));
  EXPECT_FALSE(fs.OpenExclusive(kIni));
  EXPECT_FALSE(fs.Delete(kIni));
  clock.AdvanceTo(2000);
  EXPECT_FALSE(fs.ReadFile(kIni));
  clock.AdvanceTo(2050);
  EXPECT_EQ(fs.ReadFile(kIni), SettingsFileText(Settings{}));
}

TEST_F(SimBoard, SettingsFileHeldByThePcIsReplacedOnceReleasedNeverInPlace) {
  Start(Custom());
  fs.AddFile(kIni, "old");
  fs.SetHeldOpen(kIni, true);
  fs.AddFile(kJob, kReadJob);
  clock.Advance(500);
  EXPECT_EQ(fs.Contents(kIni), "old");
  EXPECT_FALSE(fs.Exists(kMarker));  // the job waits at SetDataOut:
  fs.SetHeldOpen(kIni, false);
  clock.Advance(50);
  EXPECT_EQ(fs.Contents(kIni), SettingsFileText(Custom()));
  EXPECT_TRUE(fs.Exists(kMarker));
}

TEST_F(SimBoard, TakesEachJobOnceAndTheNextAfterTheUtilityClearedIt) {
  EmulatedBoard& emulated_board = Start();
  fs.AddFile(kJob, kReadJob);
  clock.Advance(1000);
  EXPECT_EQ(board().jobs().size(), 1u);
  // The utility deletes the job file and the marker, and writes the next job
  // before the board looks again.
  ClearJob();
  fs.AddFile(kJob, kWriteJob);
  clock.Advance(50);
  const std::vector<std::string> expected = {kReadJob, kWriteJob};
  EXPECT_EQ(board().jobs(), expected);
  EXPECT_EQ(ReadJournal(emulated_board.records().journal), expected);
  EXPECT_EQ(board().finished_jobs(), 2);
}

TEST_F(SimBoard, AJobWithoutEndIsTakenOnlyWhenItHasStoppedChanging) {
  Start();
  fs.AddFile(kJob, "SetDataOut:\r\n");  // still being written
  clock.Advance(50);
  EXPECT_TRUE(board().jobs().empty());
  fs.AddFile(kJob, kReadJob);  // complete before the next look
  clock.Advance(50);
  EXPECT_EQ(board().jobs(), std::vector<std::string>{kReadJob});
  EXPECT_TRUE(fs.Exists(kMarker));

  ClearJob();
  fs.AddFile(kJob, "SetDataOut:\r\n");  // and it stays like that
  clock.Advance(100);
  EXPECT_EQ(board().jobs().size(), 2u);
  EXPECT_FALSE(fs.Exists(kMarker));  // no End:, no marker
}

TEST_F(SimBoard, WorksThroughSeveralCommandsWaitingWhereTheJobSaysSo) {
  BoardOptions options;
  options.wait_unit_ms = 1000;
  Start(Settings{}, options);
  fs.AddFile(kJob, "Stop:F\r\nCCDAdj:\r\nWait:3\r\nSetDataOut:\r\nFrobnicate:1\r\nEnd:\r\n");
  clock.Advance(50);  // taken at 50, waits until 3050
  EXPECT_FALSE(fs.Exists(kIni));
  clock.AdvanceTo(3000);
  EXPECT_FALSE(fs.Exists(kIni));
  clock.AdvanceTo(3050);
  EXPECT_TRUE(fs.Exists(kIni));
  EXPECT_TRUE(fs.Exists(kMarker));
  const auto& activity = board().activity();
  for (const char* line :
       {"acknowledge Stop:F", "acknowledge CCDAdj:", "ignore unknown command Frobnicate:1"}) {
    EXPECT_NE(std::find(activity.begin(), activity.end(), line), activity.end()) << line;
  }
}

TEST_F(SimBoard, ALostDriveStopsNothingForGood) {
  Start();
  fs.AddFile(kJob, kReadJob);
  fs.RemoveDrive('E');
  clock.Advance(1000);
  EXPECT_TRUE(board().jobs().empty());
  fs.AddDrive('E');
  clock.Advance(50);
  EXPECT_TRUE(fs.Exists(kMarker));
}

TEST(SimBoardState, StartsFromTheDefaultsAndSavesThemWhenThereIsNoState) {
  fakes::FakeFileSystem fs;
  fs.AddDrive('E');
  fakes::FakeBoardStorage storage(fs, 'E');
  MemoryRecords records;
  Board board(storage, records);
  EXPECT_EQ(board.settings(), Settings{});
  EXPECT_EQ(records.state, StateFileText(Settings{}));
  EXPECT_EQ(board.state_error(), "");
}

TEST(SimBoardState, ReportsADamagedState) {
  fakes::FakeFileSystem fs;
  fakes::FakeBoardStorage storage(fs, 'E');
  MemoryRecords records;
  records.state = "Density=80\nDensity=101\n";
  Board board(storage, records);
  EXPECT_EQ(board.settings().density, 80);
  EXPECT_NE(board.state_error(), "");
}

}  // namespace
}  // namespace z4::sim
