// The file name dialog: a small window without caption that asks for a name
// part of up to four characters and adds it to EnteredFileName. It ends with
// SET (result 1) or Escape; Enter does nothing.
#pragma once

#include "platform/dialog_view.h"

namespace z4 {

class CFileNameDlg : public DialogHandler {
 public:
  bool OnInitDialog(DialogView& view) override;
  void OnCommand(int id, int code) override;
  bool OnOk() override { return true; }  // Enter must not end it
  bool HandlesPaint() const override { return true; }
  void OnPaint() override;

  static constexpr int kNamePartLimit = 4;

 private:
  void ReadBack();
  void Push();

  DialogView* view_ = nullptr;
  std::string name_part_;
  std::string prompt_;
};

}  // namespace z4
