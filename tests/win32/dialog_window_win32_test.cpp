// The dialog shell on the real window system.
#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "platform/win32/dialog_window.h"

namespace z4::win32 {
namespace {

// What the window tells its presenter, in order. Its timer is long due by
// the time the window could show.
struct Recorder : DialogHandler {
  bool OnInitDialog(DialogView& view) override {
    (view_ = &view)->StartTimer(1, 1);
    Sleep(200);
    return true;
  }
  bool HandlesPaint() const override { return true; }
  void OnPaint() override { events += events.empty() ? "paint " : ""; }
  void OnShown() override { events += "shown "; }
  void OnTimer(int) override {
    events += "timer ";
    view_->EndDialog(kResultOk);
  }
  std::string events;
  DialogView* view_ = nullptr;
};

TEST(DialogWindowTest, NoTimerReachesTheWindowBeforeTheWorkAfterItsFirstPaint) {
  Recorder recorder;
  // The plain dialog of dialog_window_test.rc.
  EXPECT_EQ(DialogWindow::Run(GetModuleHandleW(nullptr), nullptr, 900, recorder), 1);
  EXPECT_EQ(recorder.events, "paint shown timer ");
}

}  // namespace
}  // namespace z4::win32
