#include "batch/settings_job_run.h"

#include "core/shared_state.h"
#include "device/board_gone.h"
#include "jobs/job_start.h"
#include "jobs/status_dlg.h"
#include "res/resource_ids.h"

namespace z4 {

namespace {
// The period of the main window's job timer: its first tick opens the status window.
constexpr unsigned kFirstJobTickMs = 100;
}  // namespace

SettingsJobResult RunSettingsJob(Ports& ports, DialogHost& host, const TextTable& texts,
                                 bool write) {
  if (BeginJob(ports, SettingsJobRequest(write)) != 0) {
    // A board that went away while its old files were cleared did not answer.
    return BoardGone() ? SettingsJobResult::TimedOut : SettingsJobResult::NotStarted;
  }
  ports.clock.Pause(kFirstJobTickMs);
  SharedState::SetStatusKind(write ? StatusKind::kWrite : StatusKind::kRead);
  CStatusDlg status(ports, texts);
  const int result = host.RunModal(IDD_STATUS, status);
  SharedState::SetJobRunning(false);
  SharedState::SetJobKind(JobKind::kOther);
  if (result == kResultFailed) return SettingsJobResult::Failed;
  return result == CStatusDlg::kFinished ? SettingsJobResult::Finished
                                         : SettingsJobResult::TimedOut;
}

}  // namespace z4
