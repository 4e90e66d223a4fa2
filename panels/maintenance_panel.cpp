#include "panels/maintenance_panel.h"

#include "core/backup_folder.h"
#include "core/shared_state.h"
#include "device/board_gone.h"
#include "device/file_exchange.h"
#include "jobs/job_start.h"
#include "res/resource_ids.h"
#include "viewers/ccd_graph_dlg.h"
#include "viewers/kiban_dlg.h"

namespace z4 {
namespace {

// Pause after deleting a file that the board may still be busy with.
constexpr unsigned kDeletePauseMs = 500;

}  // namespace

MaintenancePanel::MaintenancePanel(Ports& ports, DialogView& view, BoundTexts& members,
                                   SettingsPanel& settings)
    : ports_(ports), view_(view), members_(members), settings_(settings) {}

void MaintenancePanel::DeleteIfPresent(int kind, const char* name) {
  if (DeviceFileReady(ports_, kind) != 0) return;
  ports_.files.Delete(DeviceFilePath(name));
  ports_.clock.Pause(kDeletePauseMs);
}

JobRequest MaintenancePanel::CollectRequest() {
  JobRequest request;
  request.ccdAdjust = view_.GetCheck(IDC_ITEM_CCD) ? 1 : 0;
  request.emcMeasure = view_.GetCheck(IDC_ITEM_EMC) ? 1 : 0;
  request.swLedTest = view_.GetCheck(IDC_ITEM_SWLED) ? 1 : 0;
  if (view_.GetCheck(IDC_ITEM_FEED)) {
    request.feedTest = 1;
    if (view_.GetCheck(IDC_FEED_ONESHOT)) {
      request.feedOneShot = 1;
    } else if (view_.GetCheck(IDC_FEED_CONTINUOUS)) {
      request.feedContinuous = 1;
    }
  }
  if (view_.GetCheck(IDC_ITEM_MEMORY)) {
    request.memoryTest = 1;
    if (view_.GetCheck(IDC_MEMORY_ONESHOT)) {
      request.memoryOneShot = 1;
    } else if (view_.GetCheck(IDC_MEMORY_CONTINUOUS)) {
      request.memoryContinuous = 1;
    }
  }
  request.infoOutput = view_.GetCheck(IDC_ITEM_INFO) ? 1 : 0;
  request.calibrationClear = view_.GetCheck(IDC_ITEM_CALCLEAR) ? 1 : 0;
  request.waveform = view_.GetCheck(IDC_ITEM_WAVE) ? 1 : 0;
  if (view_.GetCheck(IDC_ITEM_KIBAN)) {
    request.boardInspection = 1;
    request.boardNumber = members_[IDC_NUMBER];
  }
  return request;
}

void MaintenancePanel::Execute() {
  if (!SharedState::GetJobRunning()) {
    EmptyBackupFolder(ports_);
    members_.ReadBack(view_);
    view_.SetCursor(CursorShape::Wait);
    // What an earlier job left must not be taken for this job's.
    DeleteIfPresent(kKindJob, "Z4.JOB");
    DeleteIfPresent(kKindLog, "Z4.LOG");

    const JobRequest request = CollectRequest();
    if (request.boardInspection) {
      // Board inspection runs alone, in its own window, and needs the number.
      if (!members_[IDC_NUMBER].empty()) {
        SharedState::SetJobRunning(true);
        SharedState::SetEnteredFileName(members_[IDC_NUMBER]);
        RunBoardInspection();
        SharedState::SetJobRunning(false);
      }
    } else {
      StartJob(ports_, view_, request);
    }
    view_.SetCursor(CursorShape::Arrow);
  }
  if (SharedState::GetJobRunning()) settings_.EnablePanelControls(false);
}

void MaintenancePanel::ShowSettingsAfter(JobKind kind) {
  if (kind == JobKind::kSettingsRead) {
    // A read that did not finish: the settings are loaded again (the defaults
    // when the board's file is not to be trusted) and the board is watched.
    SharedState::SetDeviceState(DeviceState::kWatching);
    settings_.LoadAndShowSettings(true);
  } else if (kind == JobKind::kSettingsWrite) {
    // A write that did not finish: back to the current settings.
    settings_.LoadAndShowSettings(false);
  }
}

void MaintenancePanel::Stop() {
  SharedState::SetPanelBusy(1);
  view_.StopTimer(TIMER_JOB);
  SharedState::SetJobRunning(false);
  DeleteIfPresent(kKindJob, "Z4.JOB");
  // JobKind keeps its value: a later stop repeats this for the same kind.
  const bool reading_back = settings_.ReadingBack();
  settings_.SettingsJobStopped();
  if (!reading_back) ShowSettingsAfter(SharedState::GetJobKind());
  settings_.EnablePanelControls(true);
  SharedState::SetPanelBusy(0);
}

void MaintenancePanel::JobTick() {
  SharedState::SetJobTicks(SharedState::GetJobTicks() + 1);
  const JobKind kind = SharedState::GetJobKind();
  const int limit = SharedState::GetJobTimeLimit();
  if (limit != -1 && SharedState::GetJobTicks() == limit) {
    EndUnfinished(kind);
    return;
  }
  if (DeviceFileReady(ports_, kKindEndMarker) != 0) {
    // Not yet: the next tick looks again. A board that is gone ends the job
    // as its time limit would, jobs without a limit included.
    if (BoardGone()) EndUnfinished(kind);
    return;
  }

  DeleteDeviceFile(ports_, kDeleteJob);
  DeleteDeviceFile(ports_, kDeleteEndMarker);
  DeleteDeviceFile(ports_, kDeleteFlush);
  SharedState::SetJobRunning(false);
  SharedState::SetCursorState(CursorState::kRestoreArrow);
  if (kind == JobKind::kWaveform) {
    view_.StopTimer(TIMER_JOB);
    if (DeviceFileReady(ports_, kKindLevelData) == 0) ShowLevelGraph();
  } else if (kind == JobKind::kSettingsRead) {
    view_.StopTimer(TIMER_JOB);
    if (settings_.ReadingBack()) {
      settings_.ReadBackEnded(true, "");
    } else {
      SharedState::SetDeviceState(DeviceState::kWatching);
      settings_.LoadAndShowSettings(true);
    }
  } else if (kind == JobKind::kSettingsWrite) {
    view_.StopTimer(TIMER_JOB);
    // What the board holds now is known once it has been read back.
    settings_.WriteJobEnded(true);
    DeleteDeviceFile(ports_, kDeleteSettings);
    if (settings_.StartDueReadBack()) return;
  } else {
    // Every other job ends here as well. Left running, timer 1 would go on
    // polling the end marker and take the board inspection's.
    view_.StopTimer(TIMER_JOB);
  }
  settings_.EnablePanelControls(true);
  if (kind == JobKind::kSettingsRead && view_.GetCheck(IDC_ITEM_KIBAN)) view_.SetFocus(IDC_EXECUTE);
}

void MaintenancePanel::EndUnfinished(JobKind kind) {
  SharedState::SetJobRunning(false);
  if (kind == JobKind::kSettingsRead && settings_.ReadingBack()) {
    view_.StopTimer(TIMER_JOB);
    settings_.ReadBackEnded(false, "the board did not finish the read");
  } else if (kind == JobKind::kSettingsWrite) {
    settings_.WriteJobEnded(false);
  } else {
    SharedState::SetUseDefaults(true);
    ShowSettingsAfter(kind);
  }
  settings_.EnablePanelControls(true);
  view_.StopTimer(TIMER_JOB);
  SharedState::SetCursorState(CursorState::kRestoreArrow);
}

void MaintenancePanel::ShowLevelGraph() {
  CCcdGraphDlg graph(ports_);
  view_.RunModal(IDD_GRAPH, graph);
}

void MaintenancePanel::RunBoardInspection() {
  CKibanDlg inspection(ports_);
  view_.RunModal(IDD_KIBAN, inspection);
}

}  // namespace z4
