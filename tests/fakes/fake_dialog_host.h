// Top-level windows and message boxes without a screen: each modal run opens
// the dialog in a FakeUi and dispatches its timers in virtual time until it
// ends; message boxes are recorded.
#pragma once

#include <string>
#include <vector>

#include "fakes/fake_ui.h"
#include "platform/dialog_view.h"

namespace z4::fakes {

class FakeDialogHost : public DialogHost {
 public:
  explicit FakeDialogHost(FakeUi& ui) : ui_(ui) {}

  // The dialog's result; -1 when it did not end within a virtual day.
  int RunModal(int resource_id, DialogHandler& handler) override;
  void ShowMessage(const std::string& text, const std::string& caption) override;

  struct Box {
    std::string text;
    std::string caption;
  };
  std::vector<Box> boxes;
  std::vector<int> runs;  // resource ids, in order

 private:
  FakeUi& ui_;
};

}  // namespace z4::fakes
