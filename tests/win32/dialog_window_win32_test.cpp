// The dialog shell on the real window system.
#include <windows.h>

#include <gtest/gtest.h>
#include <new>
#include <string>

#include "platform/win32/dialog_window.h"
#include "platform/win32/failure_guard.h"

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

// A handler that fails while its window opens, or in its first timer.
struct Failing : DialogHandler {
  explicit Failing(bool at_opening) : at_opening_(at_opening) {}
  bool OnInitDialog(DialogView& view) override {
    if (at_opening_) throw std::bad_alloc();
    (view_ = &view)->StartTimer(1, 10);
    return true;
  }
  void OnTimer(int) override { throw std::bad_alloc(); }
  void OnFailure() override { view_->EndDialog(kResultFailed); }
  bool at_opening_;
  DialogView* view_ = nullptr;
};

TEST(DialogWindowTest, AFailureWhileOpeningEndsTheWindowAndALaterOneGoesToTheHandler) {
  SetFailureMessage("", "");  // no box: the test has nobody to close it
  for (const bool at_opening : {true, false}) {
    Failing handler(at_opening);
    EXPECT_EQ(DialogWindow::Run(GetModuleHandleW(nullptr), nullptr, 900, handler), kResultFailed)
        << at_opening;
  }
}

}  // namespace
}  // namespace z4::win32
