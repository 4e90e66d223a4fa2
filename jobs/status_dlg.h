// The status window shown while the board reads or writes its settings: it
// delivers the files of the job, polls for the end marker and ends with 1 when
// the board finished, 2 when the job's time ran out or the board's drive went
// away.
#pragma once

#include "core/ports.h"
#include "core/text_table.h"
#include "platform/dialog_view.h"

namespace z4 {

class CStatusDlg : public DialogHandler {
 public:
  CStatusDlg(Ports& ports, const TextTable& texts);

  bool OnInitDialog(DialogView& view) override;
  void OnTimer(int id) override;
  bool OnSetCursor() override;
  void OnMouseMove() override;
  // A failed step leaves the job in an unknown state: the window ends as
  // failed instead of waiting on.
  void OnFailure() override;
  // Enter does nothing: only the board's end marker says that the job is
  // done. Escape gives up the wait, as the time limit does (result 2).
  bool OnOk() override { return true; }

  static constexpr int kFinished = 1;
  static constexpr int kTimedOut = 2;

 private:
  bool ApplyCursor();
  void DeliverJobFiles();
  // Stops the timers and ends the window with the result.
  void End(int result);

  Ports& ports_;
  const TextTable& texts_;
  DialogView* view_ = nullptr;
  int status_ticks_ = 0;
  int status_cursor_ = 0;
  bool job_sent_ = false;
  bool ended_ = false;
};

}  // namespace z4
