// The dialog shell on the real window system.
#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "platform/win32/dialog_window.h"

namespace z4::win32 {
namespace {

constexpr int kTestDialog = 900;  // dialog_window_test.rc

// What the window tells its presenter, in order.
class Recorder : public DialogHandler {
 public:
  bool OnInitDialog(DialogView& view) override {
    view_ = &view;
    view.StartTimer(1, 1);
    Sleep(200);  // the timer is long due by the time the window could show
    events += "init ";
    return true;
  }
  bool HandlesPaint() const override { return true; }
  void OnPaint() override {
    if (events.find("paint") == std::string::npos) events += "paint ";
  }
  void OnShown() override { events += "shown "; }
  void OnTimer(int) override {
    events += "timer ";
    view_->EndDialog(kResultOk);
  }
  std::string events;

 private:
  DialogView* view_ = nullptr;
};

TEST(DialogWindowTest, NoTimerReachesTheWindowBeforeTheWorkAfterItsFirstPaint) {
  Recorder recorder;
  EXPECT_EQ(DialogWindow::Run(GetModuleHandleW(nullptr), nullptr, kTestDialog, recorder), 1);
  EXPECT_EQ(recorder.events, "init paint shown timer ");
}

}  // namespace
}  // namespace z4::win32
