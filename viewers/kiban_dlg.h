// The board inspection window: sends the board its self-test job, waits for
// the end marker, then shows the board's error log or the newest image it
// captured, which the user can save under a name made from the number typed
// in the maintenance panel and a short part typed here.
#pragma once

#include <string>

#include "core/ports.h"
#include "platform/dialog_view.h"

namespace z4 {

class CKibanDlg : public DialogHandler {
 public:
  explicit CKibanDlg(Ports& ports);

  bool OnInitDialog(DialogView& view) override;
  void OnCommand(int id, int code) override;
  void OnTimer(int id) override;
  void OnDestroy() override;

  // Attempts and pauses of the image copies.
  static constexpr int kCopyAttempts = 60;
  static constexpr unsigned kFetchPauseMs = 1000;
  static constexpr unsigned kClosePauseMs = 7000;

 private:
  void ApplyTexts();
  void Evaluate();
  std::string FindCapturedImage();
  bool FetchCapturedImage();
  void ShowLog();
  void AcknowledgeOrSave();
  void SaveImage();
  void Stop();
  void Finished();
  void PushTexts();

  Ports& ports_;
  DialogView* view_ = nullptr;
  std::string image_caption_;
  std::string log_caption_;
  std::string log_text_;
  int phase_ = 0;
  bool image_shown_ = false;
  bool log_shown_ = false;
  std::string backup_image_path_;
  std::string device_image_path_;
};

}  // namespace z4
