#include "jobs/job_start.h"

#include <gtest/gtest.h>

#include "core/shared_state.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_ui.h"
#include "res/resource_ids.h"

namespace z4 {
namespace {

constexpr const char* kLocalJob = "C:\\Program Files\\Z4\\BackupZ4\\Z4.JOB";

// A window that does nothing, to carry the job timer.
class IdleWindow : public DialogHandler {
 public:
  bool OnInitDialog(DialogView&) override { return true; }
};

class JobStartTest : public ::testing::Test, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    files.AddDirectory("C:\\Program Files\\Z4");
    files.AddDrive('E');
    for (const char* name : {"Z4.JOB", "Z4.INI", "Z4JOB.END", "Z4.CSV", "Z4Dummy.TXT"}) {
      files.AddFile(std::string("E:\\") + name, "old");
    }
    SharedState::SetDeviceDrive("E");
    SharedState::SetDeviceFound(1);
    SharedState::SetUseDefaults(true);
    ui.Open(IDD_CONFIG, idle);
  }
  // The board files that were opened for a presence test, in order.
  std::vector<std::string> PresenceTests() const {
    std::vector<std::string> tested;
    for (const auto& op : files.log) {
      if (op.rfind("open E:\\", 0) == 0) tested.push_back(op.substr(8));
    }
    return tested;
  }

  IdleWindow idle;
  fakes::FakeUi ui{clock};
};

TEST_F(JobStartTest, ASettingsReadClearsTheOldExchangeFilesAndArmsTheJobTimer) {
  EXPECT_EQ(StartJob(ports, ui.Main(), SettingsJobRequest(false)), 0);
  EXPECT_EQ(PresenceTests(),
            (std::vector<std::string>{"Z4.JOB", "Z4.INI", "Z4JOB.END", "Z4.CSV", "Z4Dummy.TXT"}));
  EXPECT_TRUE(files.List("E:\\").empty());
  EXPECT_EQ(files.Contents(kLocalJob), "SetDataOut:\r\nEnd:\r\n");
  EXPECT_EQ(files.Contents(kLocalJob)->size(), 19u);
  EXPECT_TRUE(SharedState::GetJobRunning());
  EXPECT_EQ(SharedState::GetJobKind(), JobKind::kSettingsRead);
  EXPECT_EQ(SharedState::GetJobTicks(), 0);
  EXPECT_EQ(SharedState::GetJobTimeLimit(), 80);
  EXPECT_FALSE(SharedState::GetUseDefaults());
  EXPECT_EQ(SharedState::GetCursorState(), CursorState::kWait);
  EXPECT_EQ(SharedState::GetPanelBusy(), 0);
  EXPECT_EQ(ui.Main().TimerPeriod(TIMER_JOB), 100u);
  EXPECT_EQ(files.CountOps("copy"), 0) << "in user mode the status window delivers";
}

TEST_F(JobStartTest, ASettingsWriteKeepsTheBoardsSettingsFile) {
  EXPECT_EQ(StartJob(ports, ui.Main(), SettingsJobRequest(true)), 0);
  EXPECT_EQ(PresenceTests(),
            (std::vector<std::string>{"Z4.JOB", "Z4JOB.END", "Z4.CSV", "Z4Dummy.TXT"}));
  EXPECT_EQ(files.List("E:\\"), std::vector<std::string>{"Z4.INI"});
  EXPECT_EQ(SharedState::GetJobKind(), JobKind::kSettingsWrite);
  EXPECT_EQ(files.Contents(kLocalJob), "SetDataIn:\r\nEnd:\r\n");
}

TEST_F(JobStartTest, JobKindPrefersWaveformThenReadThenWrite) {
  JobRequest request;
  request.waveform = 1;
  request.settingsRead = 1;
  request.settingsWrite = 1;
  StartJob(ports, ui.Main(), request);
  EXPECT_EQ(SharedState::GetJobKind(), JobKind::kWaveform);
  EXPECT_EQ(files.Contents(kLocalJob),
            "Lamp:ON\r\nWait:3\r\nWave:\r\nSetDataOut:\r\nSetDataIn:\r\nEnd:\r\n");
  EXPECT_EQ(files.Contents("E:\\Z4.INI"), "old") << "kept for the write in the same job";
}

TEST_F(JobStartTest, AnEmptyRequestClearsTheBoardButStartsNothing) {
  EXPECT_EQ(StartJob(ports, ui.Main(), JobRequest{}), 1);
  EXPECT_TRUE(files.List("E:\\").empty());
  EXPECT_FALSE(SharedState::GetJobRunning());
  EXPECT_FALSE(ui.Main().HasTimer(TIMER_JOB));
  EXPECT_FALSE(files.Exists(kLocalJob));
  EXPECT_EQ(SharedState::GetCursorState(), CursorState::kIdle);
}

TEST_F(JobStartTest, WithoutABoardNothingIsTouched) {
  SharedState::SetDeviceFound(0);
  EXPECT_EQ(StartJob(ports, ui.Main(), SettingsJobRequest(false)), 1);
  EXPECT_TRUE(files.log.empty());
  EXPECT_EQ(files.List("E:\\").size(), 5u);
}

TEST_F(JobStartTest, AJobFileThatCannotBeWrittenStartsNothing) {
  files.AddDirectory("C:\\Program Files\\Z4\\BackupZ4");
  files.SetReadOnly("C:\\Program Files\\Z4\\BackupZ4", true);
  EXPECT_EQ(StartJob(ports, ui.Main(), SettingsJobRequest(false)), 1);
  EXPECT_FALSE(SharedState::GetJobRunning());
  EXPECT_FALSE(ui.Main().HasTimer(TIMER_JOB));
  EXPECT_EQ(SharedState::GetPanelBusy(), 0);
}

TEST_F(JobStartTest, TestAdjustModeDeliversSettingsThenJobAndNeedsTheJobDelivered) {
  SharedState::SetTestAdjustMode(1);
  files.AddFile("C:\\Program Files\\Z4\\BackupZ4\\Z4.INI", "Density:80\r\n");
  EXPECT_EQ(StartJob(ports, ui.Main(), SettingsJobRequest(true)), 0);
  std::vector<std::string> copies;
  for (const auto& op : files.log) {
    if (op.rfind("copy ", 0) == 0) copies.push_back(op.substr(op.find("-> ") + 3));
  }
  EXPECT_EQ(copies, (std::vector<std::string>{"E:\\Z4.INI", "E:\\Z4.JOB"}));
  EXPECT_EQ(files.Contents("E:\\Z4.INI"), "Density:80\r\n");
  EXPECT_TRUE(SharedState::GetJobRunning());

  // A board that takes no file: 60 attempts of 500 ms, and no job.
  SharedState::SetJobRunning(false);
  ui.Main().StopTimer(TIMER_JOB);
  files.FailNextCopies(1000);
  clock.ClearPauseLog();
  EXPECT_EQ(StartJob(ports, ui.Main(), SettingsJobRequest(false)), 1);
  EXPECT_FALSE(SharedState::GetJobRunning());
  EXPECT_FALSE(ui.Main().HasTimer(TIMER_JOB));
  EXPECT_EQ(clock.PausedMs(), 5 * 150 + 60 * 500);
}

}  // namespace
}  // namespace z4
