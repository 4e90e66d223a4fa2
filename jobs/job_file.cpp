#include "jobs/job_file.h"

#include <string_view>

#include "core/shared_state.h"
#include "device/file_exchange.h"

namespace z4 {
namespace {

constexpr char kEmcPngPattern[] = "DeleteFile:C:\\QXR\\MB??????.PNG\r\n";
constexpr char kEmcTifPattern[] = "DeleteFile:C:\\QXR\\MB??????.TIF\r\n";

class Builder {
 public:
  void Add(unsigned bit, std::string_view lines) {
    job_.text += lines;
    job_.itemBits |= bit;
  }
  BuiltJob Finish() {
    job_.timeLimit = JobTimeLimitFor(job_.itemBits);
    return std::move(job_);
  }

 private:
  BuiltJob job_;
};

}  // namespace

int JobTimeLimitFor(unsigned itemBits) {
  int limit = 0;
  for (std::size_t entry = 0; entry < kJobTimeTable.size(); ++entry) {
    if ((itemBits & (1u << entry)) == 0) continue;
    if (kJobTimeTable[entry] == -1) return -1;
    limit += kJobTimeTable[entry];
  }
  return limit;
}

std::string BoardInspectionJobText() {
  return "Lamp:ON\r\n"
         "SWTest:\r\n"
         "MemoryTest:\r\n"
         "FlashTest:\r\n"
         "CFTest:\r\n"
         "ImageTest:03\r\n";
}

BuiltJob BuildJob(const JobRequest& request, int fileFormat) {
  Builder job;
  if (request.ccdAdjust) job.Add(kItemCcdAdjust, "Stop:F\r\nCCDAdj:\r\n");
  if (request.emcMeasure) {
    job.Add(kItemEmcMeasure, "Stop:F\r\nImageTest:F\r\nWait:10\r\n");
    job.Add(kItemEmcMeasure, fileFormat == 1 ? kEmcTifPattern : kEmcPngPattern);
    job.Add(kItemEmcMeasure, "Repeat:ImageTest\r\n");
  }
  if (request.swLedTest) job.Add(kItemSwLedTest, "SWTest:F\r\n");
  if (request.feedTest) {
    if (request.feedOneShot) {
      job.Add(kItemFeedOneShot, "Stop:F\r\nFeed:F\r\n");
    } else {
      job.Add(kItemFeedContinuous, "Stop:F\r\nFeed:F\r\nWait:5\r\nRepeat:Feed\r\n");
    }
  }
  if (request.memoryTest) {
    if (request.memoryOneShot) {
      job.Add(kItemMemoryOneShot, "ImageTest:03\r\n");
    } else {
      job.Add(kItemMemoryContinuous, "ImageTest:F\r\n");
    }
  }
  if (request.infoOutput) job.Add(kItemInfoOutput, "CalDataOut:\r\n");
  if (request.calibrationClear) job.Add(kItemCalibrationClear, "CalDataClear:\r\n");
  if (request.waveform) job.Add(kItemWaveform, "Lamp:ON\r\nWait:3\r\nWave:\r\n");
  if (request.boardInspection) job.Add(0, BoardInspectionJobText());
  if (request.settingsRead) job.Add(kItemSettingsRead, "SetDataOut:\r\n");
  if (request.settingsWrite) job.Add(kItemSettingsWrite, "SetDataIn:\r\n");
  return job.Finish();
}

void BuildJobText(const JobRequest& request) {
  const BuiltJob job = BuildJob(request, SharedState::GetDeviceSettings().FileFormat);
  SharedState::SetJobText(job.text);
  SharedState::SetJobTimeLimit(job.timeLimit);
}

JobFileResult WriteJobFile(Ports& ports) {
  const TransferResult local = TransferFile(ports, "Z4.JOB", "", TransferMode::LocalPath);
  if (local.status != 0) return {local.path, local.status};
  // A job file that did not reach the disk must not be reported as written:
  // the caller would start a job the board never gets to read whole.
  if (!ports.files.WriteNewFile(local.path, SharedState::GetJobText())) return {local.path, 1};
  return {local.path, 0};
}

}  // namespace z4
