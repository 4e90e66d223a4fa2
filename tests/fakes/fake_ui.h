// Windows without a screen: dialogs that record what their presenter does to
// them, timers that fire in virtual time, and modal runs nested as on Windows
// (timers of every open window keep firing while a modal window or a message
// box is up).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_image_control.h"
#include "fakes/recording_canvas.h"
#include "fakes/virtual_clock.h"
#include "platform/dialog_view.h"

namespace z4::fakes {

class FakeUi;

// What a test throws to leave the program at once, from anywhere: the handler
// guard passes it on.
struct LeaveTheProgram {};

struct FakeControl {
  std::string text;
  bool checked = false;
  bool enabled = true;
  bool text_font = false;  // the text-table font was applied to it
  int text_limit = 0;
  int range_min = 0;
  int range_max = 0;
  int tic_frequency = 0;
  int page_size = 0;
  int pos = 0;
  std::vector<std::string> list;
  Rect rect;  // window rectangle in screen coordinates
  int moves = 0;
};

class FakeDialog : public DialogView {
 public:
  FakeDialog(FakeUi& ui, int resource_id, DialogHandler& handler, Rect rect);

  // --- what tests look at and do
  FakeControl& Control(int id) { return controls_[id]; }
  const std::string& Caption() const { return caption_; }
  int Icon() const { return icon_; }
  bool WindowFontApplied() const { return window_font_; }
  const std::string& FontFace() const { return font_face_; }
  int FontSize() const { return font_size_; }
  Rect GetRect() const { return rect_; }
  bool HasTimer(int id) const { return timers_.count(id) != 0; }
  unsigned TimerPeriod(int id) const { return timers_.at(id).period; }
  int Focus() const { return focus_; }
  // The resources whose controls were added to the window, in order.
  const std::vector<int>& AddedControls() const { return added_controls_; }
  bool Ended() const { return ended_; }
  int Result() const { return result_; }
  int ResourceId() const { return resource_id_; }
  DialogHandler& Handler() { return handler_; }
  // Checks one radio button and clears the other of its pair, as a click would.
  void ChooseRadio(int id, int other);

  // --- DialogView
  void SetCaption(const std::string& text) override { caption_ = text; }
  void SetIcon(int resource_id) override { icon_ = resource_id; }
  void SetText(int id, const std::string& text) override { controls_[id].text = text; }
  std::string GetText(int id) override;
  void SetTextLimit(int id, int chars) override { controls_[id].text_limit = chars; }
  void SetCheck(int id, bool checked) override { controls_[id].checked = checked; }
  bool GetCheck(int id) override { return controls_[id].checked; }
  void Enable(int id, bool enabled) override { controls_[id].enabled = enabled; }
  void SetFocus(int id) override { focus_ = id; }
  void AddControls(int resource_id) override { added_controls_.push_back(resource_id); }
  void SetTrackbarRange(int id, int min, int max, bool redraw) override;
  void SetTrackbarTicFrequency(int id, int frequency) override;
  void SetTrackbarPageSize(int id, int size) override { controls_[id].page_size = size; }
  void SetTrackbarPos(int id, int pos, bool redraw) override;
  int GetTrackbarPos(int id) override { return controls_[id].pos; }
  void ClearList(int id) override { controls_[id].list.clear(); }
  void AppendListEntry(int id, const std::string& text) override;
  void SetTextFont(const std::string& face, int tenths_of_point) override;
  void ApplyTextFont(int id) override;
  Rect WindowRect() override { return rect_; }
  void MoveWindow(const Rect& rect, bool repaint) override;
  Rect DesktopRect() override;
  void StartTimer(int id, unsigned period_ms) override;
  void StopTimer(int id) override { timers_.erase(id); }
  void SetCursor(CursorShape shape) override;
  void SetCursorPos(int x, int y) override;
  void ShowMessage(const std::string& text, const std::string& caption) override;
  void EndDialog(int result) override;
  int RunModal(int resource_id, DialogHandler& handler) override;
  Rect ControlRect(int id) override { return controls_[id].rect; }
  void MoveControl(int id, const Rect& screen_rect, bool repaint) override;
  std::unique_ptr<Canvas> DrawOn(int id) override;
  std::vector<Colour> CaptureClient(const Rect& rect) override;
  CommonDialogs& Dialogs() override { return dialogs_; }
  ImageControl* Imaging() override { return &images.control(); }

  // --- drawing, capture and printing as tests arrange them
  // The client area a control offers DrawOn; every canvas handed out, in order.
  std::map<int, Rect> drawing_areas;
  std::vector<RecordingCanvas*> canvases;
  // What CaptureClient reads: the colour of a client point.
  std::function<Colour(int x, int y)> screen;
  int captures = 0;
  // The next print dialog's outcome: a job with this orientation, or none (0).
  int printer_orientation = 1;
  FakePrintJob* last_print_job = nullptr;
  // The image component of this window.
  FakeImageControl images;

 private:
  friend class FakeUi;

  // What a test throws to leave the program at once, from anywhere: the handler
  // guard passes it on.
  struct LeaveTheProgram {};
  std::vector<std::unique_ptr<RecordingCanvas>> owned_canvases_;
  struct Timer {
    unsigned period;
    std::int64_t due;
    std::int64_t order;
  };
  // The Save As and print dialogs, as FakeUi and this window arrange them.
  class SystemDialogs : public CommonDialogs {
   public:
    explicit SystemDialogs(FakeDialog& window) : window_(window) {}
    std::unique_ptr<PrintJob> ChoosePrinter() override;
    std::optional<std::string> ChooseSaveFile(const SaveFileRequest& request) override;

   private:
    FakeDialog& window_;
  };
  SystemDialogs dialogs_{*this};
  FakeUi& ui_;
  int resource_id_;
  DialogHandler& handler_;
  std::map<int, FakeControl> controls_;
  std::map<int, Timer> timers_;
  std::string caption_;
  int icon_ = 0;
  Rect rect_;
  bool window_font_ = false;
  std::string font_face_;
  int font_size_ = 0;
  bool font_made_ = false;
  int focus_ = 0;
  std::vector<int> added_controls_;
  bool shown_ = false;
  bool ended_ = false;
  int result_ = 0;
  std::int64_t ended_at_ = -1;
};

class FakeUi {
 public:
  explicit FakeUi(VirtualClock& clock) : clock_(clock) {}

  struct Box {
    std::string text;
    std::string caption;
    std::int64_t at;
  };
  struct Opened {
    int resource_id;
    std::int64_t opened_at;
    std::int64_t closed_at = -1;
    int result = 0;
    // When the window ended itself; it closes once the message boxes and
    // windows opened from it meanwhile have.
    std::int64_t ended_at = -1;
  };

  // Size of a dialog when it is created (pixels); the screen.
  Rect initial_window{0, 0, 718, 386};
  Rect desktop{0, 0, 1024, 768};
  // How long (virtual ms) the user takes to close a message box; timers fire meanwhile.
  std::int64_t message_box_ms = 0;
  // Runs while a message box is up, before it is closed.
  std::function<void(const Box&)> on_message_box;
  // Runs once a modal child has opened (its OnInitDialog is done).
  std::function<void(FakeDialog&)> on_child_open;
  // Runs after every timer message, in modal loops too: for tests that act
  // the moment a window shows something.
  std::function<void()> after_timer;
  // Handlers run as the Win32 shell runs them: what one throws is caught, the
  // failure message (when it has a text) shown as a message box, and the
  // window told (OnFailure), or ended as failed when it was opening.
  // Without it, what a handler throws reaches the test.
  bool guard_handlers = false;
  std::string failure_message;
  int failures = 0;
  // What a handler threw that was not a failed allocation: a defect.
  std::string unexpected_failure;

  // Opens a top-level dialog: creates it, runs OnInitDialog and centres it
  // when its initialisation did not move it. As on Windows, it shows once its
  // thread waits for messages: the first dispatch or user action paints it
  // and tells it that it has been shown, before any timer or input reaches it.
  FakeDialog& Open(int resource_id, DialogHandler& handler);
  // Dispatches timers until virtual time `until` or until the top-level dialog ends.
  void RunUntil(std::int64_t until);
  void RunFor(std::int64_t ms) { RunUntil(clock_.NowMs() + ms); }
  // Runs until the top-level dialog has ended (and been destroyed); false at the limit.
  bool RunUntilClosed(std::int64_t max_ms);
  // Dispatches timers until `done` holds; false when `max_ms` passed first.
  bool RunUntilTrue(const std::function<bool()>& done, std::int64_t max_ms);

  // User actions on a dialog (the top-most one by default).
  void Click(int id);
  void Scroll(int trackbar_id, int pos);
  void PressOk();
  void PressCancel();
  void MouseMove();
  // The WM_SETCURSOR answer: true when the handler kept its own cursor.
  bool SetCursorMessage();
  bool HelpButton();
  // A paint message for the top-most dialog.
  void Paint();

  FakeDialog& Main() { return *main_; }
  FakeDialog* Top() { return stack_.empty() ? nullptr : stack_.back(); }
  bool MainDestroyed() const { return main_destroyed_; }
  const std::vector<Box>& Boxes() const { return boxes_; }
  const std::vector<Opened>& Dialogs() const { return opened_; }
  CursorShape cursor = CursorShape::Arrow;
  int cursor_x = 0;
  int cursor_y = 0;
  int cursor_sets = 0;
  // The Save As dialogs shown, and what the user does in the next one: the
  // path chosen (the proposed name in the proposed folder when empty, in the
  // given folder when it ends in a backslash), or nullopt to cancel.
  std::vector<SaveFileRequest> save_requests;
  std::optional<std::string> save_answer = std::string();
  // Every print job handed out, kept for inspection.
  std::vector<std::unique_ptr<FakePrintJob>> print_jobs;
  // Runs once a dialog has been created, before its OnInitDialog: for tests
  // that give a window its control geometry.
  std::function<void(FakeDialog&)> on_create;
  VirtualClock& clock() { return clock_; }

 private:
  friend class FakeDialog;
  // One timer message: the earliest due timer of any open window, if it is due
  // by `until`. Returns false when nothing was due.
  bool DispatchOne(std::int64_t until);
  // Paints and tells every open window not yet shown that it has been;
  // false when there was none.
  bool ShowPending();
  // The top-most dialog, shown: input comes after a window has shown.
  FakeDialog* Input();
  void Destroy(FakeDialog& dialog);
  void ShowMessageBox(const std::string& text, const std::string& caption);
  int RunChild(int resource_id, DialogHandler& handler);
  // Calls a handler of `dialog`, guarded when guard_handlers is set.
  template <typename F>
  void Call(FakeDialog& dialog, F&& handler_call, bool opening = false);
  void Centre(FakeDialog& dialog);

  VirtualClock& clock_;
  std::unique_ptr<FakeDialog> main_;
  bool main_destroyed_ = false;
  std::vector<FakeDialog*> stack_;
  std::vector<Box> boxes_;
  std::vector<Opened> opened_;
  std::int64_t timer_order_ = 0;
};

}  // namespace z4::fakes
