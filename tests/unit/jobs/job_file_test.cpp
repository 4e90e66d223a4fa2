#include "jobs/job_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

#include "core/shared_state.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/virtual_clock.h"

namespace z4 {
namespace {

constexpr char kLocalJob[] = "C:\\Program Files\\Z4\\BackupZ4\\Z4.JOB";
constexpr char kBoardLines[] =
    "Lamp:ON\r\nSWTest:\r\nMemoryTest:\r\nFlashTest:\r\nCFTest:\r\nImageTest:03\r\n";

JobRequest Only(int JobRequest::*flag) {
  JobRequest r;
  r.*flag = 1;
  return r;
}

TEST(JobBuilder, EachItemAloneGivesItsLinesBitAndLimit) {
  const struct {
    const char* name;
    JobRequest request;
    const char* text;
    unsigned bits;
    int limit;
  } cases[] = {
      {"ccd", Only(&JobRequest::ccdAdjust), "Stop:F\r\nCCDAdj:\r\n", 0x001, -1},
      {"emc", Only(&JobRequest::emcMeasure),
       "Stop:F\r\nImageTest:F\r\nWait:10\r\nDeleteFile:C:\\QXR\\MB??????.PNG\r\n"
       "Repeat:ImageTest\r\n",
       0x002, -1},
      {"sw", Only(&JobRequest::swLedTest), "SWTest:F\r\n", 0x004, -1},
      {"info", Only(&JobRequest::infoOutput), "CalDataOut:\r\n", 0x080, -1},
      {"clear", Only(&JobRequest::calibrationClear), "CalDataClear:\r\n", 0x100, -1},
      {"wave", Only(&JobRequest::waveform), "Lamp:ON\r\nWait:3\r\nWave:\r\n", 0x200, -1},
      {"board", Only(&JobRequest::boardInspection), kBoardLines, 0x000, 0},
      {"read", Only(&JobRequest::settingsRead), "SetDataOut:\r\n", 0x400, 80},
      {"write", Only(&JobRequest::settingsWrite), "SetDataIn:\r\n", 0x800, 80},
      {"nothing", JobRequest{}, "", 0x000, 0},
      // The variant flags alone choose nothing.
      {"feed one shot only", Only(&JobRequest::feedOneShot), "", 0x000, 0},
      {"memory one shot only", Only(&JobRequest::memoryOneShot), "", 0x000, 0},
  };
  for (const auto& c : cases) {
    const BuiltJob job = BuildJob(c.request, 0);
    EXPECT_EQ(job.text, c.text) << c.name;
    EXPECT_EQ(job.itemBits, c.bits) << c.name;
    EXPECT_EQ(job.timeLimit, c.limit) << c.name;
  }
}

TEST(JobBuilder, OneShotFlagsChooseTheFeedAndMemoryVariants) {
  JobRequest r;
  r.feedTest = 1;
  r.feedOneShot = 1;
  BuiltJob job = BuildJob(r, 0);
  EXPECT_EQ(job.text, "Stop:F\r\nFeed:F\r\n");
  EXPECT_EQ(job.itemBits, 0x008u);

  r.feedOneShot = 0;
  r.feedContinuous = 0;  // neither chosen: continuous
  job = BuildJob(r, 0);
  EXPECT_EQ(job.text, "Stop:F\r\nFeed:F\r\nWait:5\r\nRepeat:Feed\r\n");
  EXPECT_EQ(job.itemBits, 0x010u);
  r.feedContinuous = 1;
  EXPECT_EQ(BuildJob(r, 0).text, job.text);

  JobRequest m;
  m.memoryTest = 1;
  m.memoryOneShot = 1;
  m.memoryContinuous = 1;  // not read
  job = BuildJob(m, 0);
  EXPECT_EQ(job.text, "ImageTest:03\r\n");
  EXPECT_EQ(job.itemBits, 0x020u);
  m.memoryOneShot = 0;
  job = BuildJob(m, 0);
  EXPECT_EQ(job.text, "ImageTest:F\r\n");
  EXPECT_EQ(job.itemBits, 0x040u);
}

TEST(JobBuilder, EmcPatternFollowsTheImageFormat) {
  const JobRequest r = Only(&JobRequest::emcMeasure);
  const std::string tif = "DeleteFile:C:\\QXR\\MB??????.TIF\r\n";
  const std::string png = "DeleteFile:C:\\QXR\\MB??????.PNG\r\n";
  EXPECT_NE(BuildJob(r, 1).text.find(tif), std::string::npos);
  for (int format : {0, 2, -1, 100}) {
    const std::string text = BuildJob(r, format).text;
    EXPECT_NE(text.find(png), std::string::npos) << format;
    EXPECT_EQ(text.find(tif), std::string::npos) << format;
  }
}

TEST(JobBuilder, EverythingChosenComesInTheFixedOrder) {
  JobRequest r;
  r.settingsWrite = r.settingsRead = r.boardInspection = r.waveform = r.calibrationClear =
      r.infoOutput = r.memoryTest = r.feedTest = r.feedOneShot = r.swLedTest = r.emcMeasure =
          r.ccdAdjust = 1;
  r.boardNumber = "123";
  const BuiltJob job = BuildJob(r, 1);
  EXPECT_EQ(job.text, std::string("Stop:F\r\nCCDAdj:\r\n"
                                  "Stop:F\r\nImageTest:F\r\nWait:10\r\n"
                                  "DeleteFile:C:\\QXR\\MB??????.TIF\r\nRepeat:ImageTest\r\n"
                                  "SWTest:F\r\n"
                                  "Stop:F\r\nFeed:F\r\n"
                                  "ImageTest:F\r\n"
                                  "CalDataOut:\r\n"
                                  "CalDataClear:\r\n"
                                  "Lamp:ON\r\nWait:3\r\nWave:\r\n") +
                          kBoardLines + "SetDataOut:\r\nSetDataIn:\r\n");
  EXPECT_EQ(job.itemBits, 0xFCFu);
  EXPECT_EQ(job.timeLimit, -1);
}

TEST(JobBuilder, TimeLimitAddsSettingsItemsAndAnyMaintenanceItemLiftsIt) {
  JobRequest r;
  r.settingsRead = r.settingsWrite = 1;
  EXPECT_EQ(BuildJob(r, 0).timeLimit, 160);
  r.boardInspection = 1;
  EXPECT_EQ(BuildJob(r, 0).timeLimit, 160) << "board inspection has no bit";
  r.settingsWrite = 0;
  r.ccdAdjust = 1;
  const BuiltJob job = BuildJob(r, 0);
  EXPECT_EQ(job.timeLimit, -1);
  EXPECT_EQ(job.text.rfind("SetDataOut:\r\n"), job.text.size() - 13) << "settings read last";

  EXPECT_EQ(JobTimeLimitFor(0), 0);
  EXPECT_EQ(JobTimeLimitFor(0x400), 80);
  EXPECT_EQ(JobTimeLimitFor(0xC00), 160);
  EXPECT_EQ(JobTimeLimitFor(0xA00), -1);
  EXPECT_EQ(JobTimeLimitFor(0x1000), 0) << "bits beyond the table count for nothing";
}

class JobFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SharedState::Reset();
    fs.AddDirectory("C:\\Program Files\\Z4");
  }
  void TearDown() override { SharedState::Reset(); }

  fakes::FakeFileSystem fs;
  fakes::FakeSystem system;
  fakes::VirtualClock clock;
  fakes::FakeRegistry registry;
  Ports ports{registry, system, fs, clock};
};

TEST_F(JobFileTest, BuildJobTextSetsTheSharedJobAndReadsTheImageFormat) {
  SharedState::SetJobText("left over");
  SharedState::SetJobTimeLimit(7);
  BuildJobText(JobRequest{});
  EXPECT_EQ(SharedState::GetJobText(), "");
  EXPECT_EQ(SharedState::GetJobTimeLimit(), 0);

  SettingsRecord settings;
  settings.FileFormat = 1;
  SharedState::SetDeviceSettings(settings);
  BuildJobText(Only(&JobRequest::emcMeasure));
  EXPECT_NE(SharedState::GetJobText().find("MB??????.TIF"), std::string::npos);
  EXPECT_EQ(SharedState::GetJobTimeLimit(), -1);
  BuildJobText(Only(&JobRequest::settingsRead));
  EXPECT_EQ(SharedState::GetJobText(), "SetDataOut:\r\n");
  EXPECT_EQ(SharedState::GetJobTimeLimit(), 80);
}

TEST_F(JobFileTest, TheSettingsReadJobFileHoldsExactly19Bytes) {
  BuildJobText(Only(&JobRequest::settingsRead));
  SharedState::SetJobText(SharedState::GetJobText() + "End:\r\n");
  fs.AddFile(kLocalJob, "Stop:F\r\nCCDAdj:\r\nEnd:\r\n");  // the previous job's file
  const JobFileResult r = WriteJobFile(ports);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.path, kLocalJob);
  EXPECT_EQ(fs.Contents(kLocalJob), "SetDataOut:\r\nEnd:\r\n");
  EXPECT_EQ(fs.Contents(kLocalJob)->size(), 19u);
  EXPECT_EQ(SharedState::GetPanelBusy(), 0);
}

TEST_F(JobFileTest, AFolderThatCannotBePreparedWritesNothing) {
  SharedState::SetJobText("End:\r\n");
  bool removing = false;
  fs.before_operation = [&](const std::string& op) {
    const std::string folder = "C:\\Program Files\\Z4\\BackupZ4";
    if (!removing && op == "cd " + folder && fs.Exists(folder)) {
      removing = true;
      fs.RemoveEmptyDirectory(folder);
    }
  };
  const JobFileResult r = WriteJobFile(ports);
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(fs.CountOps("write"), 0);
}

TEST_F(JobFileTest, AJobFileThatCannotBeWrittenIsAFailure) {
  SharedState::SetJobText("SetDataIn:\r\nEnd:\r\n");
  fs.AddFile(kLocalJob, "old");
  fs.SetReadOnly(kLocalJob, true);
  EXPECT_NE(WriteJobFile(ports).status, 0);

  fs.SetReadOnly(kLocalJob, false);
  fs.SetFreeSpace('C', 5);
  EXPECT_NE(WriteJobFile(ports).status, 0);

  // The program folder cannot hold the backup folder: the path comes back,
  // but the file cannot be created.
  fs.SetFreeSpace('C', 1 << 20);
  fs.Delete(kLocalJob);
  fs.RemoveEmptyDirectory("C:\\Program Files\\Z4\\BackupZ4");
  fs.SetReadOnly("C:\\Program Files\\Z4", true);
  const JobFileResult r = WriteJobFile(ports);
  EXPECT_NE(r.status, 0);
  EXPECT_FALSE(fs.Exists(kLocalJob));
}

}  // namespace
}  // namespace z4
