#include "app/config_dlg.h"

#include "core/backup_folder.h"
#include "core/program_folder.h"
#include "core/shared_state.h"
#include "core/text_placement.h"
#include "device/board_gone.h"
#include "device/drive_discovery.h"
#include "device/file_exchange.h"
#include "res/resource_ids.h"

namespace z4 {

CConfigDlg::CConfigDlg(Ports& ports, const TextTable& texts) : ports_(ports), texts_(texts) {}

bool CConfigDlg::OnInitDialog(DialogView& view) {
  StartupTrace& trace = ports_.trace;
  trace.Mark("dialog-created");
  view_ = &view;
  settings_ = std::make_unique<SettingsPanel>(ports_, view, members_, texts_);
  maintenance_ = std::make_unique<MaintenancePanel>(ports_, view, members_, *settings_);
  // The maintenance panel's controls: there from the start when the panel
  // shows; in user mode, where the window is cut to the settings panel, they
  // are added once the window has been painted.
  if (SharedState::GetTestAdjustMode() != 0) {
    view.AddControls(IDD_MAINTENANCE_PANEL);
  } else {
    settings_->MaintenancePanelNotYetAdded();
  }

  view.SetIcon(IDI_Z4UTILITY);
  trace.Mark("icon");
  // The resource has already given the year list its first entry; the members
  // (all empty) go into their controls.
  members_.Transfer(view);
  SharedState::SetCloseOnTick(false);
  trace.Mark("members");

  if (SharedState::GetTestAdjustMode() == 0) {
    SharedState::SetRetryCount(0);
    // User mode shows the settings panel only. The window still sits at the
    // screen origin here, so halving its right edge halves its width; it is
    // centred on the screen after this.
    Rect r = view.WindowRect();
    r.right = r.right / 2;
    view.MoveWindow(r, true);
    trace.Mark("window-cut");

    FindDeviceDrive(ports_);
    trace.Mark("discovery");
    if (SharedState::GetDeviceFound() != 1) {
      settings_->DeviceErrorMessage(kNoDeviceAtStart);
      SharedState::SetCloseOnTick(true);
    }
  }

  SharedState::SetJobRunning(false);
  SharedState::SetDeviceState(DeviceState::kSearching);
  SharedState::SetCursorState(CursorState::kIdle);
  // The device watch finds the board again.
  SharedState::SetDeviceDrive("");
  SharedState::SetDeviceFound(0);

  settings_->ApplyTexts();
  for (int id : {IDC_LBL_YEAR, IDC_LBL_MONTH, IDC_LBL_DAY}) PlaceLabelInGap(view, id);
  trace.Mark("texts");
  // The lists' entries are seen only when a list is opened, which a disabled
  // list cannot be: they are added once the window has been painted.
  settings_->EmptyDateLists();
  trace.Mark("date-lists-emptied");
  settings_->EnablePanelControls(false);
  view.Enable(IDC_STOP, false);
  trace.Mark("controls-disabled");
  EmptyBackupFolder(ports_);
  trace.Mark("backup-folder");
  SharedState::SetPanelBusy(0);

  view.StartTimer(TIMER_WATCH, 100);
  if (SharedState::GetTestAdjustMode() == 0) {
    view.StartTimer(TIMER_CURSOR, 50);
    SharedState::SetCursorState(CursorState::kWait);  // wait cursor until the settings are shown
  }
  trace.Mark("timers");
  return true;
}

void CConfigDlg::OnShown() {
  StartupTrace& trace = ports_.trace;
  trace.Mark("first-paint");
  // Nothing the user does and no timer reaches the window before this is
  // done, so the controls are complete by the time anything can look at them.
  if (SharedState::GetTestAdjustMode() == 0) {
    view_->AddControls(IDD_MAINTENANCE_PANEL);
    settings_->MaintenancePanelAdded();
    settings_->EnablePanelControls(false);
    view_->Enable(IDC_STOP, false);
    trace.Mark("maintenance-panel");
  }
  settings_->FillDateLists();
  trace.Mark("date-lists");
}

void CConfigDlg::OnCommand(int id, int /*code*/) {
  if (id == IDC_CANCEL_BUTTON) {
    if (SharedState::GetJobRunning()) view_->StopTimer(TIMER_JOB);
    view_->EndDialog(kResultOk);
  } else if (id == IDC_SET) {
    settings_->Set();
  } else if (id == IDC_EXECUTE) {
    maintenance_->Execute();
  } else if (id == IDC_STOP) {
    maintenance_->Stop();
  }
}

bool CConfigDlg::OnOk() {
  // Enter in a date list or on a control must not end the program: only Cancel,
  // the close button, Escape and the program itself close this window.
  return true;
}

void CConfigDlg::EndTheStandardOkWay() {
  members_.ReadBack(*view_);
  view_->EndDialog(kResultOk);
}

bool CConfigDlg::ApplyCursorState() {
  switch (SharedState::GetCursorState()) {
    case CursorState::kWait:
      view_->SetCursor(CursorShape::Wait);
      return true;
    case CursorState::kRestoreArrow:
      SharedState::SetCursorState(CursorState::kIdle);
      view_->SetCursor(CursorShape::Arrow);
      return false;
    default:
      return false;
  }
}

void CConfigDlg::OnTimer(int id) {
  // Ending the window does not stop the rest of this message's handling.
  if (SharedState::GetCloseOnTick()) EndTheStandardOkWay();
  if (id == TIMER_CURSOR) ApplyCursorState();
  if (SharedState::GetPanelBusy() == 1) return;
  if (id == TIMER_JOB && SharedState::GetJobRunning()) {
    if (SharedState::GetTestAdjustMode() == 0) {
      settings_->SettingsJobCompletion();
    } else {
      maintenance_->JobTick();
    }
  } else if (id == TIMER_WATCH && !SharedState::GetJobRunning()) {
    settings_->DeviceWatch();
  }
}

void CConfigDlg::OnHScroll(int id) {
  settings_->ValueLabels(id);
}

void CConfigDlg::OnVolumesRemoved(unsigned long unit_mask) {
  // The system's own notice, in any state: a wait on the board ends at its
  // next look, and the device watch handles the removal at its next tick.
  VolumesRemoved(unit_mask);
}

bool CConfigDlg::OnSetCursor() {
  // The wait cursor is kept by not passing the message on: the default handling
  // would put the class cursor (the arrow) straight back.
  return ApplyCursorState();
}

void CConfigDlg::OnMouseMove() {
  ApplyCursorState();
}

bool CConfigDlg::OnHelpButton() {
  ports_.system.OpenDocument(GetProgramFolder(ports_.system) + "\\utility.chm");
  return true;
}

void CConfigDlg::OnDestroy() {
  view_->StopTimer(TIMER_WATCH);
  if (SharedState::GetTestAdjustMode() == 0) view_->StopTimer(TIMER_CURSOR);
  if (settings_) settings_->WindowClosing();
  EmptyBackupFolder(ports_);
  ports_.files.RemoveEmptyDirectory(BackupFolderPath(ports_.system));
}

}  // namespace z4
