#include "jobs/job_start.h"

#include "core/shared_state.h"
#include "device/board_gone.h"
#include "device/file_exchange.h"
#include "res/resource_ids.h"

namespace z4 {

JobRequest SettingsJobRequest(bool write) {
  JobRequest request;
  if (write) {
    request.settingsWrite = 1;
  } else {
    request.settingsRead = 1;
  }
  return request;
}

int StartJob(Ports& ports, DialogView& main_window, const JobRequest& request) {
  const int result = BeginJob(ports, request);
  if (result == 0) main_window.StartTimer(TIMER_JOB, 100);
  return result;
}

int BeginJob(Ports& ports, const JobRequest& request) {
  if (SharedState::GetDeviceFound() != 1) return 1;

  SharedState::SetJobText("");
  DeleteDeviceFile(ports, kDeleteJob);
  // A settings write keeps the board's "Z4.INI": the board is about to read it.
  if (!request.settingsWrite) DeleteDeviceFile(ports, kDeleteSettings);
  DeleteDeviceFile(ports, kDeleteEndMarker);
  DeleteDeviceFile(ports, kDeleteLevelData);
  DeleteDeviceFile(ports, kDeleteFlush);
  // A board that went away meanwhile keeps what an earlier job left on it,
  // an end marker among it, which the new job would be taken to have written.
  if (BoardGone()) return 1;

  BuildJobText(request);
  if (SharedState::GetJobText().empty()) return 1;

  SharedState::SetCursorState(CursorState::kWait);
  SharedState::SetPanelBusy(1);
  SharedState::SetJobKind(JobKind::kOther);
  SharedState::SetJobText(SharedState::GetJobText() + "End:\r\n");

  int result = 1;
  const JobFileResult job = WriteJobFile(ports);
  if (job.status == 0) {
    bool started = true;
    // In user mode the status window delivers the files; in test/adjust mode
    // they go to the board now.
    if (SharedState::GetTestAdjustMode() != 0) {
      if (request.settingsWrite) {
        const TransferResult ini = TransferFile(ports, "Z4.INI", "", TransferMode::LocalPath);
        TransferFile(ports, "Z4.INI", ini.path, TransferMode::Deliver);
      }
      started = TransferFile(ports, "Z4.JOB", job.path, TransferMode::Deliver).status == 0;
    }
    if (started) {
      SharedState::SetJobTicks(0);
      SharedState::SetJobRunning(true);
      SharedState::SetUseDefaults(false);
      SharedState::SetJobKind(request.waveform        ? JobKind::kWaveform
                              : request.settingsRead  ? JobKind::kSettingsRead
                              : request.settingsWrite ? JobKind::kSettingsWrite
                                                      : JobKind::kOther);
      result = 0;
    }
  }
  SharedState::SetPanelBusy(0);
  return result;
}

}  // namespace z4
