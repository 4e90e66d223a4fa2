// The board's maintenance jobs: continuous jobs and the level data file.
#include <gtest/gtest.h>

#include "sim/journal.h"
#include "sim/level_file.h"
#include "unit/sim/sim_board_fixture.h"

namespace z4::sim {
namespace {

constexpr const char* kCsv = "E:\\Z4.CSV";
const std::string kWaveJob = "Lamp:ON\r\nWait:3\r\nWave:\r\nEnd:\r\n";
const std::string kEmcJob =
    "Stop:F\r\nImageTest:F\r\nWait:10\r\nDeleteFile:C:\\QXR\\MB??????.PNG\r\nRepeat:ImageTest\r\n"
    "End:\r\n";
const std::string kFeedJob = "Stop:F\r\nFeed:F\r\nWait:5\r\nRepeat:Feed\r\nEnd:\r\n";

BoardOptions Fast() {
  BoardOptions options;
  options.wait_unit_ms = 100;
  return options;
}

using SimMaintenance = SimBoardFixture;

TEST_F(SimMaintenance, ARepeatingJobRunsUntilItsJobFileIsDeletedAndEndsWithoutMarker) {
  for (const std::string& job : {kEmcJob, kFeedJob}) {
    SCOPED_TRACE(job);
    fs = fakes::FakeFileSystem();
    fs.AddDrive('E');
    Start(Settings{}, Fast());
    fs.AddFile(kJob, job);
    clock.Advance(60000);
    EXPECT_FALSE(board().idle());
    EXPECT_FALSE(fs.Exists(kMarker));
    EXPECT_EQ(board().finished_jobs(), 0);
    fs.Delete(kJob);
    clock.Advance(50);
    EXPECT_TRUE(board().idle());
    EXPECT_EQ(board().finished_jobs(), 1);
    // The next job is taken at once and ends normally.
    fs.AddFile(kJob, "SetDataOut:\r\nEnd:\r\n");
    clock.Advance(50);
    EXPECT_TRUE(fs.Exists(kMarker));
    EXPECT_EQ(board().finished_jobs(), 2);
    // Every line of the maintenance job is in the journal, as received.
    const auto journal = ReadJournal(emulated->records().journal);
    ASSERT_TRUE(journal);
    EXPECT_EQ(journal->front(), job);
  }
}

TEST_F(SimMaintenance, ARepeatingJobReplacedBeforeTheBoardLooksGivesWayToTheNewJob) {
  Start(Settings{}, Fast());
  fs.AddFile(kJob, kFeedJob);
  clock.Advance(1000);
  fs.AddFile(kJob, kWaveJob);  // deleted and written again between two looks
  clock.Advance(1000);
  EXPECT_EQ(board().jobs(), (std::vector<std::string>{kFeedJob, kWaveJob}));
  EXPECT_TRUE(fs.Exists(kCsv));
  EXPECT_TRUE(fs.Exists(kMarker));
}

TEST_F(SimMaintenance, WaveWritesTheGeneratedLevelsOrTheGivenBytesBeforeTheMarker) {
  const std::string broken = "WhiteLevel:3,1,2\n;";  // handed out as it is
  for (const auto& given : {std::optional<std::string>(), std::optional<std::string>(broken)}) {
    fs = fakes::FakeFileSystem();
    fs.AddDrive('E');
    BoardOptions options = Fast();
    options.level_file = given;
    options.end_delay_ms = 1000;
    Start(Settings{}, options);
    fs.AddFile(kJob, kWaveJob);
    clock.Advance(400);  // taken at 50, Wave: at 350, the marker due at 1350
    EXPECT_EQ(fs.Contents(kCsv), given.value_or(GeneratedLevelFile()));
    clock.Advance(900);
    EXPECT_FALSE(fs.Exists(kMarker));
    clock.Advance(50);
    EXPECT_TRUE(fs.Exists(kMarker));
  }
}

TEST_F(SimMaintenance, NeverEndingBoardWritesTheLevelsButNoMarker) {
  BoardOptions options = Fast();
  options.never_end = true;
  Start(Settings{}, options);
  fs.AddFile(kJob, kWaveJob);
  clock.Advance(10000);
  EXPECT_TRUE(fs.Exists(kCsv));
  EXPECT_FALSE(fs.Exists(kMarker));
  EXPECT_EQ(board().jobs().size(), 1u);
}

}  // namespace
}  // namespace z4::sim
