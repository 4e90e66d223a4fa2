// A modal dialog from a resource, routing its messages to a presenter
// (DialogHandler) and doing to the window what the presenter asks (DialogView).
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "platform/dialog_view.h"
#include "platform/win32/common_dialogs_win32.h"
#include "platform/win32/handles.h"

namespace z4::win32 {

class DialogWindow : public DialogView {
 public:
  // Runs the dialog modally, owned by `owner` (may be null); returns its result,
  // or -1 when it could not be created.
  static int Run(HINSTANCE instance, HWND owner, int resource_id, DialogHandler& handler);

  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  void SetCaption(const std::string& text) override;
  void SetIcon(int resource_id) override;
  void SetText(int id, const std::string& text) override;
  std::string GetText(int id) override;
  void SetTextLimit(int id, int chars) override;
  void SetCheck(int id, bool checked) override;
  bool GetCheck(int id) override;
  void Enable(int id, bool enabled) override;
  void SetFocus(int id) override;
  void AddControls(int resource_id) override;
  void SetTrackbarRange(int id, int min, int max, bool redraw) override;
  void SetTrackbarTicFrequency(int id, int frequency) override;
  void SetTrackbarPageSize(int id, int size) override;
  void SetTrackbarPos(int id, int pos, bool redraw) override;
  int GetTrackbarPos(int id) override;
  void ClearList(int id) override;
  void AppendListEntry(int id, const std::string& text) override;
  void SetTextFont(const std::string& face, int tenths_of_point) override;
  void ApplyTextFont(int id) override;
  Rect WindowRect() override;
  void MoveWindow(const Rect& rect, bool repaint) override;
  Rect DesktopRect() override;
  void StartTimer(int id, unsigned period_ms) override;
  void StopTimer(int id) override;
  void SetCursor(CursorShape shape) override;
  void SetCursorPos(int x, int y) override;
  void ShowMessage(const std::string& text, const std::string& caption) override;
  void EndDialog(int result) override;
  int RunModal(int resource_id, DialogHandler& handler) override;
  Rect ControlRect(int id) override;
  void MoveControl(int id, const Rect& screen_rect, bool repaint) override;
  Size TextSize(int id, const std::string& text) override;
  Rect ClientArea() override;
  std::unique_ptr<Canvas> DrawOn(int id) override;
  std::vector<Colour> CaptureClient(const Rect& rect) override;
  CommonDialogs& Dialogs() override { return dialogs_; }
  ImageControl* Imaging() override;

 private:
  DialogWindow(HINSTANCE instance, int resource_id, DialogHandler& handler);
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  INT_PTR Handle(UINT msg, WPARAM wparam, LPARAM lparam);
  INT_PTR InitDialog();
  void CentreOnScreen();
  LRESULT SendItem(int id, UINT msg, WPARAM wparam, LPARAM lparam);
  // The control with the id, or nullptr.
  HWND Item(int id);

  HINSTANCE instance_;
  int resource_id_;
  DialogHandler& handler_;
  HWND hwnd_ = nullptr;
  bool shown_ = false;
  // The work after the first paint is done; until then timers wait here.
  struct OpenedWhenDone {
    DialogWindow& window;
    ~OpenedWhenDone();
  };
  bool opened_ = false;
  std::map<int, unsigned> waiting_timers_;
  std::map<int, HWND> items_;
  Win32CommonDialogs dialogs_{hwnd_};
  // The font the resource gave the window and its controls.
  HFONT resource_font_ = nullptr;
  // The text-table font: the resource's font, or one made here and owned.
  HFONT text_font_ = nullptr;
  UniqueGdiObject font_;
  std::string font_face_;
  int font_size_ = 0;
  UniqueIcon big_icon_;
  UniqueIcon small_icon_;
};

class Win32DialogHost : public DialogHost {
 public:
  explicit Win32DialogHost(HINSTANCE instance) : instance_(instance) {}
  int RunModal(int resource_id, DialogHandler& handler) override {
    return DialogWindow::Run(instance_, nullptr, resource_id, handler);
  }
  void ShowMessage(const std::string& text, const std::string& caption) override;
  void SetFailureMessage(const std::string& text, const std::string& caption) override;

 private:
  HINSTANCE instance_;
};

}  // namespace z4::win32
