// The settings panel's side of the board's comings and goings: the device
// watch (main window timer 2) and the end of a settings job (timer 1).
#include "core/shared_state.h"
#include "device/board_file_limits.h"
#include "device/board_gone.h"
#include "device/drive_discovery.h"
#include "device/file_exchange.h"
#include "jobs/job_start.h"
#include "jobs/status_dlg.h"
#include "panels/settings_panel.h"
#include "res/resource_ids.h"
#include "settings/board_settings_fetch.h"
#include "settings/settings_read_back.h"
#include "settings/settings_storage.h"

namespace z4 {
namespace {

// Failed searches after which the panel shows the defaults and stops looking.
constexpr int kSearchLimit = 25;

bool UserMode() {
  return SharedState::GetTestAdjustMode() == 0;
}

// What the board holds after a write it has not reported since is not known:
// no later write may take the file of before it for what that write replaced.
void ForgetBoardFile() {
  SharedState::SetBoardFile("", "");
}

}  // namespace

void SettingsPanel::DeviceWatch() {
  switch (SharedState::GetDeviceState()) {
    case DeviceState::kSearching: {
      SharedState::SetCursorState(CursorState::kWait);
      if (SharedState::GetWatchStep() == WatchStep::kFirst) {
        if (SharedState::GetDeviceDrive().empty()) {
          FindDeviceDrive(ports_);
          if (SharedState::GetDeviceFound() == 1) {
            SharedState::SetWatchStep(WatchStep::kSecond);
          } else if (UserMode()) {
            SharedState::SetRetryCount(SharedState::GetRetryCount() + 1);
          }
        }
      } else if (ProbeDrive(ports_, SharedState::GetDeviceDrive())) {
        StartReadJob();
      } else {
        SharedState::SetWatchStep(WatchStep::kFirst);
        SharedState::SetDeviceDrive("");
        SharedState::SetDeviceFound(0);
      }
      if (UserMode() && SharedState::GetRetryCount() == kSearchLimit) GiveUpSearching();
      break;
    }
    case DeviceState::kWatching: {
      const WatchStep step = SharedState::GetWatchStep();
      if (BoardGone()) {
        // A wait on the board, or the system, has already seen it go.
        DeviceRemoved();
      } else if (step == WatchStep::kFirst) {
        if (!ProbeDrive(ports_, SharedState::GetDeviceDrive()))
          SharedState::SetWatchStep(WatchStep::kSecond);
      } else if (step == WatchStep::kSecond) {
        // One failed probe can be a moment of the board being busy: look again
        // two ticks later.
        SharedState::SetWatchStep(WatchStep::kThird);
      } else if (ProbeDrive(ports_, SharedState::GetDeviceDrive())) {
        // The board answers again: it was a moment's miss, and the next one
        // is a first miss again, not a second.
        SharedState::SetWatchStep(WatchStep::kFirst);
      } else {
        DeviceRemoved();
      }
      break;
    }
    default:
      break;  // a read job is on its way, or the search was given up
  }
}

void SettingsPanel::StartReadJob() {
  ForgetBoardGone();  // a board that answers now
  SharedState::SetDeviceState(DeviceState::kReading);
  StartJob(ports_, view_, SettingsJobRequest(false));
  SharedState::SetWatchStep(WatchStep::kFirst);
  if (UserMode()) SharedState::SetRetryCount(0);
  if (!SharedState::GetJobRunning()) {
    // The job file could not be written: treat it as a read the board did not
    // answer rather than waiting for a job that never started.
    SharedState::SetUseDefaults(true);
    SharedState::SetDeviceState(DeviceState::kWatching);
    LoadAndShowSettings(true);
    EnablePanelControls(true);
    SharedState::SetCursorState(CursorState::kRestoreArrow);
  }
}

void SettingsPanel::GiveUpSearching() {
  SharedState::SetDeviceDrive("");
  SharedState::SetDeviceState(DeviceState::kReading);
  SharedState::SetUseDefaults(true);
  LoadAndShowSettings(true);
  EnablePanelControls(true);
  SharedState::SetCursorState(CursorState::kRestoreArrow);
}

void SettingsPanel::DeviceRemoved() {
  ForgetBoardGone();
  SharedState::SetDeviceDrive("");
  SharedState::SetDeviceFound(0);
  SharedState::SetDeviceState(DeviceState::kSearching);
  EnablePanelControls(false);
  view_.Enable(IDC_STOP, false);
  SharedState::SetWatchStep(WatchStep::kFirst);
  if (UserMode()) {
    SharedState::SetCursorState(CursorState::kRestoreArrow);
    view_.SetCursor(CursorShape::Arrow);
    view_.StopTimer(TIMER_WATCH);
    DeviceErrorMessage(kDeviceRemoved);
    members_.ReadBack(view_);
    view_.EndDialog(kResultOk);
  }
}

void SettingsPanel::SettingsJobCompletion() {
  view_.StopTimer(TIMER_JOB);
  const JobKind kind = SharedState::GetJobKind();
  if (kind == JobKind::kSettingsRead || kind == JobKind::kSettingsWrite) {
    SharedState::SetStatusKind(kind == JobKind::kSettingsRead ? StatusKind::kRead
                                                              : StatusKind::kWrite);
    CStatusDlg status(ports_, texts_);
    const bool finished = view_.RunModal(IDD_STATUS, status) == CStatusDlg::kFinished;
    if (kind == JobKind::kSettingsWrite) {
      WriteJobEnded(finished);
      DeleteDeviceFile(ports_, kDeleteSettings);
    } else if (reading_back_) {
      ReadBackEnded(finished, "the board did not finish the read");
    } else {
      if (!finished) SharedState::SetUseDefaults(true);
      SharedState::SetDeviceState(DeviceState::kWatching);
      LoadAndShowSettings(true);
    }
  }
  view_.StopTimer(TIMER_JOB);
  SharedState::SetJobRunning(false);
  SharedState::SetJobKind(JobKind::kOther);
  if (StartDueReadBack()) return;
  EnablePanelControls(true);
  SharedState::SetCursorState(CursorState::kRestoreArrow);
}

void SettingsPanel::WriteJobEnded(bool finished) {
  if (finished) {
    read_back_due_ = true;
    return;
  }
  // The board may have taken the file all the same, and ended only later.
  set_record_.Abandoned("the board did not finish the write");
  ForgetBoardFile();
  SharedState::SetUseDefaults(true);
  SharedState::SetCursorState(CursorState::kRestoreArrow);
  // Test/adjust mode says nothing of a write that did not finish.
  if (UserMode()) DeviceErrorMessage(kWriteFailed);
  LoadAndShowSettings(false);
}

bool SettingsPanel::StartDueReadBack() {
  if (!read_back_due_) return false;
  read_back_due_ = false;
  reading_back_ = true;
  StartJob(ports_, view_, SettingsJobRequest(false));
  if (SharedState::GetJobRunning()) return true;
  ReadBackEnded(false,
                BoardGone() ? "the board did not answer" : "the read job could not be started");
  return false;
}

void SettingsPanel::ReadBackEnded(bool finished, const std::string& reason) {
  reading_back_ = false;
  SharedState::SetDeviceState(DeviceState::kWatching);
  bool known = false;
  bool taken = false;
  if (finished) {
    const FetchedSettings board = FetchBoardSettings(ports_);
    if (board.status == FetchStatus::Fetched) {
      TakeBoardSettings(ports_, board.bytes);
      const auto differences = CompareSettings(SharedState::GetPendingSettings(), board.bytes);
      set_record_.ReadBack(board.bytes, differences);
      known = true;
      taken = differences.empty();
    } else {
      set_record_.NotReadBack(FetchProblemText(board.status));
    }
  } else {
    set_record_.NotReadBack(reason);
  }
  if (!known) ForgetBoardFile();
  // DeviceSettings is what the board last reported: now, or before the write.
  LoadAndShowSettings(false);
  if (taken) return;
  SharedState::SetCursorState(CursorState::kRestoreArrow);
  DeviceErrorMessage(kWriteFailed);
}

void SettingsPanel::SettingsJobStopped() {
  if (reading_back_) {
    ReadBackEnded(false, "stopped");
  } else if (SharedState::GetJobKind() == JobKind::kSettingsWrite && set_record_.Open()) {
    set_record_.Abandoned("stopped before the board finished the write");
    ForgetBoardFile();
  }
}

void SettingsPanel::WindowClosing() {
  closing_ = true;
  if (reading_back_) {
    reading_back_ = false;
    set_record_.NotReadBack("the window was closed");
  } else if (set_record_.Open()) {
    set_record_.Abandoned("the window was closed before the board finished the write");
  }
}

}  // namespace z4
