#include "jobs/status_dlg.h"

#include "core/shared_state.h"
#include "device/board_gone.h"
#include "device/file_exchange.h"
#include "res/resource_ids.h"

namespace z4 {

CStatusDlg::CStatusDlg(Ports& ports, const TextTable& texts) : ports_(ports), texts_(texts) {}

bool CStatusDlg::OnInitDialog(DialogView& view) {
  view_ = &view;
  status_ticks_ = 0;
  status_cursor_ = 1;
  view.SetCursor(CursorShape::Wait);
  const Rect desktop = view.DesktopRect();
  view.SetCursorPos(desktop.right / 2, desktop.bottom / 2);
  view.StartTimer(TIMER_STATUS_POLL, 500);
  view.StartTimer(TIMER_STATUS_FIRST, 50);

  view.SetTextFont(texts_.FontFace(), texts_.FontSize());
  view.ApplyTextFont(IDC_STATUS_MESSAGE);
  view.SetCaption(texts_.Text(TextKey::USB_INI_DIALOG));
  view.SetText(IDC_STATUS_MESSAGE, texts_.Text(SharedState::GetStatusKind() == StatusKind::kRead
                                                   ? TextKey::USB_INI_FILE_READ
                                                   : TextKey::USB_INI_FILE_WRITE));
  job_sent_ = false;
  ended_ = false;
  return true;
}

bool CStatusDlg::ApplyCursor() {
  if (status_cursor_ == 1) {
    view_->SetCursor(CursorShape::Wait);
    return true;
  }
  if (status_cursor_ == 2) {
    status_cursor_ = 0;
    view_->SetCursor(CursorShape::Arrow);
  }
  return false;
}

void CStatusDlg::DeliverJobFiles() {
  // For a settings write the board must find its new "Z4.INI" before the job.
  bool delivered = true;
  if (SharedState::GetStatusKind() == StatusKind::kWrite) {
    const TransferResult ini = TransferFile(ports_, "Z4.INI", "", TransferMode::LocalPath);
    delivered = TransferFile(ports_, "Z4.INI", ini.path, TransferMode::Deliver).status == 0;
  }
  const TransferResult job = TransferFile(ports_, "Z4.JOB", "", TransferMode::LocalPath);
  delivered =
      TransferFile(ports_, "Z4.JOB", job.path, TransferMode::Deliver).status == 0 && delivered;
  job_sent_ = true;
  // A job file that did not reach the board brings no end marker of its own:
  // one found now would be an earlier job's. The wait has failed.
  if (!delivered) End(kTimedOut);
}

void CStatusDlg::OnTimer(int id) {
  if (id == TIMER_STATUS_FIRST) ApplyCursor();
  if (!job_sent_) {
    DeliverJobFiles();
    if (ended_) return;
  }
  if (id != TIMER_STATUS_POLL) return;

  ++status_ticks_;
  const int limit = SharedState::GetJobTimeLimit();
  if (limit == -1) return;
  if (status_ticks_ == limit) {
    End(kTimedOut);
  } else if (DeviceFileReady(ports_, kKindEndMarker) == 0) {
    view_->StopTimer(TIMER_STATUS_POLL);
    view_->StopTimer(TIMER_STATUS_FIRST);
    DeleteDeviceFile(ports_, kDeleteJob);
    DeleteDeviceFile(ports_, kDeleteEndMarker);
    DeleteDeviceFile(ports_, kDeleteFlush);
    End(kFinished);
  } else if (BoardGone()) {
    // No end marker can come from a board that is gone: the job failed now
    // rather than at its time limit.
    End(kTimedOut);
  }
}

void CStatusDlg::End(int result) {
  ended_ = true;
  view_->StopTimer(TIMER_STATUS_POLL);
  view_->StopTimer(TIMER_STATUS_FIRST);
  status_cursor_ = 0;
  view_->EndDialog(result);
}

bool CStatusDlg::OnSetCursor() {
  return ApplyCursor();
}

void CStatusDlg::OnMouseMove() {
  ApplyCursor();
}

void CStatusDlg::OnFailure() {
  view_->StopTimer(TIMER_STATUS_POLL);
  view_->StopTimer(TIMER_STATUS_FIRST);
  status_cursor_ = 0;
  view_->EndDialog(kResultFailed);
}

}  // namespace z4
