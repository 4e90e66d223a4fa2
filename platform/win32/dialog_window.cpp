#include "platform/win32/dialog_window.h"

#include <commctrl.h>
#include <dbt.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/dialog_init_data.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/failure_guard.h"
#include "platform/win32/font_match.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/image_display_protocol.h"
#include "platform/win32/unicode.h"
#include "platform/win32/window_capture.h"

namespace z4::win32 {
namespace {

Rect ToRect(const RECT& r) {
  return Rect{r.left, r.top, r.right, r.bottom};
}

// Posted to the dialog when it first shows: posted messages come before paint
// and timer messages, so its handling paints the window at once and then tells
// the presenter, before any timer of the window fires.
constexpr UINT kShownMessage = WM_APP + 1;

}  // namespace

DialogWindow::DialogWindow(HINSTANCE instance, int resource_id, DialogHandler& handler)
    : instance_(instance), resource_id_(resource_id), handler_(handler) {}

int DialogWindow::Run(HINSTANCE instance, HWND owner, int resource_id, DialogHandler& handler) {
  DialogWindow window(instance, resource_id, handler);
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(resource_id), owner,
                                         &DialogWindow::Proc, reinterpret_cast<LPARAM>(&window));
  return static_cast<int>(result);
}

INT_PTR CALLBACK DialogWindow::Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  DialogWindow* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<DialogWindow*>(lparam);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
  } else {
    self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  bool failed = false;
  const INT_PTR result =
      CallGuarded([&] { return self->Handle(msg, wparam, lparam); }, static_cast<INT_PTR>(TRUE),
                  [&] {
                    failed = true;
                    ReportFailure(hwnd);
                  });
  if (failed) {
    if (msg == WM_INITDIALOG) {
      // A window that failed while it opened is half made: it is never shown.
      ::EndDialog(hwnd, kResultFailed);
    } else {
      CallGuarded(
          [self] {
            self->handler_.OnFailure();
            return 0;
          },
          0, [] {});
    }
  }
  if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, DWLP_USER, 0);
  return result;
}

INT_PTR DialogWindow::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_INITDIALOG:
      return InitDialog();
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id == IDOK) {
        if (!handler_.OnOk()) ::EndDialog(hwnd_, kResultOk);
      } else if (id == IDCANCEL) {
        if (!handler_.OnCancel()) ::EndDialog(hwnd_, kResultCancel);
      } else {
        handler_.OnCommand(id, HIWORD(wparam));
      }
      return TRUE;
    }
    case WM_TIMER:
      handler_.OnTimer(static_cast<int>(wparam));
      return TRUE;
    case WM_HSCROLL:
      if (lparam) handler_.OnHScroll(GetDlgCtrlID(reinterpret_cast<HWND>(lparam)));
      return TRUE;
    case WM_SETCURSOR:
      if (handler_.OnSetCursor()) {
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    case WM_MOUSEMOVE:
      handler_.OnMouseMove();
      return FALSE;
    case WM_NCLBUTTONDOWN:
      // The caption's "?" button: handled here so the system's context-help
      // mode (and its cursor) never starts.
      if (wparam == HTHELP && handler_.OnHelpButton()) {
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      return FALSE;
    case WM_PAINT:
      if (!handler_.HandlesPaint()) return FALSE;
      {
        PAINTSTRUCT paint{};
        BeginPaint(hwnd_, &paint);
        EndPaint(hwnd_, &paint);
      }
      handler_.OnPaint();
      return TRUE;
    case WM_SHOWWINDOW:
      if (wparam && !shown_) {
        shown_ = true;
        PostMessageW(hwnd_, kShownMessage, 0, 0);
      }
      return FALSE;
    case kShownMessage: {
      RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      // The timers start once the work is done, or has failed: the failure
      // guard reports that, and the window goes on.
      const OpenedWhenDone opened{*this};
      handler_.OnShown();
      return TRUE;
    }
    case WM_DEVICECHANGE:
      // Sent to every top-level window, whatever modal window is up.
      if (wparam == DBT_DEVICEREMOVECOMPLETE && lparam) {
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lparam);
        if (header->dbch_devicetype == DBT_DEVTYP_VOLUME) {
          handler_.OnVolumesRemoved(
              reinterpret_cast<const DEV_BROADCAST_VOLUME*>(lparam)->dbcv_unitmask);
        }
      }
      return FALSE;
    case WM_DESTROY:
      handler_.OnDestroy();
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR DialogWindow::InitDialog() {
  resource_font_ = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  AddDialogInitEntries(instance_, resource_id_, hwnd_);
  RECT before{};
  GetWindowRect(hwnd_, &before);
  const bool default_focus = handler_.OnInitDialog(*this);
  // Like the usual dialog frameworks: a window that its initialisation did not
  // move opens centred on the screen.
  RECT after{};
  GetWindowRect(hwnd_, &after);
  if (after.left == before.left && after.top == before.top) CentreOnScreen();
  return default_focus ? TRUE : FALSE;
}

void DialogWindow::CentreOnScreen() {
  RECT window{};
  GetWindowRect(hwnd_, &window);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  const RECT& area = monitor.rcWork;
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int x = area.left + ((area.right - area.left) - width) / 2;
  const int y = area.top + ((area.bottom - area.top) - height) / 2;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT DialogWindow::SendItem(int id, UINT msg, WPARAM wparam, LPARAM lparam) {
  HWND item = Item(id);
  return item ? SendMessageW(item, msg, wparam, lparam) : 0;
}

HWND DialogWindow::Item(int id) {
  // GetDlgItem asks the window system for the list of all children on every
  // call; a control, once found, stays for the life of the window.
  const auto known = items_.find(id);
  if (known != items_.end() && IsWindow(known->second)) return known->second;
  HWND item = GetDlgItem(hwnd_, id);
  if (item) items_[id] = item;
  return item;
}

void DialogWindow::SetCaption(const std::string& text) {
  SetWindowTextW(hwnd_, Widen(text).c_str());
}

void DialogWindow::SetIcon(int resource_id) {
  big_icon_.reset(
      static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(resource_id), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
  small_icon_.reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(resource_id),
                                                  IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), 0)));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.get()));
}

void DialogWindow::SetText(int id, const std::string& text) {
  // A control is told only of a text it does not already show: setting the
  // same text again would repaint it for nothing (the graph's labels are set
  // on every repaint).
  const std::wstring wide = Widen(text);
  HWND item = Item(id);
  if (!item) return;
  const int length = GetWindowTextLengthW(item);
  if (length == static_cast<int>(wide.size())) {
    std::vector<wchar_t> now(static_cast<size_t>(length) + 1);
    GetWindowTextW(item, now.data(), length + 1);
    if (wide.compare(0, wide.size(), now.data(), static_cast<size_t>(length)) == 0) return;
  }
  SetWindowTextW(item, wide.c_str());
}

std::string DialogWindow::GetText(int id) {
  HWND item = Item(id);
  if (!item) return {};
  const int length = GetWindowTextLengthW(item);
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  const int n = GetWindowTextW(item, buffer.data(), length + 1);
  return Narrow(std::wstring_view(buffer.data(), static_cast<size_t>(n > 0 ? n : 0)));
}

void DialogWindow::SetTextLimit(int id, int chars) {
  SendItem(id, EM_LIMITTEXT, static_cast<WPARAM>(chars), 0);
}

void DialogWindow::SetCheck(int id, bool checked) {
  SendItem(id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool DialogWindow::GetCheck(int id) {
  return SendItem(id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DialogWindow::Enable(int id, bool enabled) {
  // Only a change is passed on: each call costs the window system a round trip.
  HWND item = Item(id);
  if (item && (IsWindowEnabled(item) != FALSE) != enabled)
    EnableWindow(item, enabled ? TRUE : FALSE);
}

void DialogWindow::SetFocus(int id) {
  if (HWND item = Item(id)) {
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
  }
}

void DialogWindow::AddControls(int resource_id) {
  AddDialogResourceItems(instance_, resource_id, hwnd_, resource_font_);
}

void DialogWindow::SetTrackbarRange(int id, int min, int max, bool redraw) {
  SendItem(id, TBM_SETRANGE, redraw ? TRUE : FALSE, MAKELPARAM(min, max));
}

void DialogWindow::SetTrackbarTicFrequency(int id, int frequency) {
  SendItem(id, TBM_SETTICFREQ, static_cast<WPARAM>(frequency), 0);
}

void DialogWindow::SetTrackbarPageSize(int id, int size) {
  SendItem(id, TBM_SETPAGESIZE, 0, size);
}

void DialogWindow::SetTrackbarPos(int id, int pos, bool redraw) {
  SendItem(id, TBM_SETPOS, redraw ? TRUE : FALSE, pos);
}

int DialogWindow::GetTrackbarPos(int id) {
  return static_cast<int>(SendItem(id, TBM_GETPOS, 0, 0));
}

void DialogWindow::ClearList(int id) {
  SendItem(id, CB_RESETCONTENT, 0, 0);
}

void DialogWindow::AppendListEntry(int id, const std::string& text) {
  // Inserted at the end, so the entries keep their order in a sorted list too.
  const std::wstring wide = Widen(text);
  SendItem(id, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide.c_str()));
}

void DialogWindow::SetTextFont(const std::string& face, int tenths_of_point) {
  // One font per window, made again only when the face or size changes; the
  // window owns a font it made and releases it when it goes away.
  if (text_font_ && face == font_face_ && tenths_of_point == font_size_) return;
  LOGFONTW lf{};
  {
    const ClientDc screen(nullptr);
    // A point size as the common point-font helpers compute it.
    lf.lfHeight = -std::abs(MulDiv(GetDeviceCaps(screen.get(), LOGPIXELSY), tenths_of_point, 720));
  }
  lf.lfCharSet = DEFAULT_CHARSET;
  const std::wstring wide = Widen(face);
  wcsncpy(lf.lfFaceName, wide.c_str(), LF_FACESIZE - 1);
  // The window's own font when it is this very font: its controls have it
  // already, and giving it to each again would lay every control out anew.
  if (resource_font_ && DrawsAlike(resource_font_, lf)) {
    font_.reset();
    text_font_ = resource_font_;
  } else {
    HFONT font = CreateFontIndirectW(&lf);
    if (!font) return;
    font_.reset(font);
    text_font_ = font;
  }
  font_face_ = face;
  font_size_ = tenths_of_point;
}

void DialogWindow::ApplyTextFont(int id) {
  if (!text_font_) return;
  HWND target = id == 0 ? hwnd_ : Item(id);
  // A control that has the font already is left alone: setting it again
  // would repaint the control for nothing.
  if (!target || reinterpret_cast<HGDIOBJ>(SendMessageW(target, WM_GETFONT, 0, 0)) == text_font_) {
    return;
  }
  // A window not yet on the screen is painted whole when it shows: no repaint now.
  const BOOL redraw = IsWindowVisible(hwnd_);
  SendMessageW(target, WM_SETFONT, reinterpret_cast<WPARAM>(text_font_), redraw);
}

Rect DialogWindow::WindowRect() {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return ToRect(r);
}

void DialogWindow::MoveWindow(const Rect& r, bool repaint) {
  ::MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint ? TRUE : FALSE);
}

Rect DialogWindow::DesktopRect() {
  RECT r{};
  GetWindowRect(GetDesktopWindow(), &r);
  return ToRect(r);
}

void DialogWindow::StartTimer(int id, unsigned period_ms) {
  // The dialog manager shows a new dialog only once its queue is empty, or
  // after a timer message: a timer that came due while the window was being
  // made would reach it before it is shown. So a timer started before the
  // work after the first paint is done starts when that work is.
  if (!opened_) {
    waiting_timers_[id] = period_ms;
    return;
  }
  SetTimer(hwnd_, static_cast<UINT_PTR>(id), period_ms, nullptr);
}

DialogWindow::OpenedWhenDone::~OpenedWhenDone() {
  window.opened_ = true;
  for (const auto& [id, period] : window.waiting_timers_) window.StartTimer(id, period);
  window.waiting_timers_.clear();
}

void DialogWindow::StopTimer(int id) {
  waiting_timers_.erase(id);
  KillTimer(hwnd_, static_cast<UINT_PTR>(id));
}

void DialogWindow::SetCursor(CursorShape shape) {
  ::SetCursor(LoadCursorW(nullptr, shape == CursorShape::Wait ? IDC_WAIT : IDC_ARROW));
}

void DialogWindow::SetCursorPos(int x, int y) {
  ::SetCursorPos(x, y);
}

void DialogWindow::ShowMessage(const std::string& text, const std::string& caption) {
  ::MessageBoxW(hwnd_, Widen(text).c_str(), Widen(caption).c_str(), MB_OK);
}

void DialogWindow::EndDialog(int result) {
  ::EndDialog(hwnd_, result);
}

int DialogWindow::RunModal(int resource_id, DialogHandler& handler) {
  return Run(instance_, hwnd_, resource_id, handler);
}

Rect DialogWindow::ControlRect(int id) {
  RECT r{};
  if (HWND item = Item(id)) GetWindowRect(item, &r);
  return ToRect(r);
}

void DialogWindow::MoveControl(int id, const Rect& screen_rect, bool repaint) {
  HWND item = Item(id);
  if (!item) return;
  RECT now{};
  GetWindowRect(item, &now);
  if (ToRect(now) == screen_rect) return;  // already there: nothing to move or repaint
  POINT corners[2] = {{screen_rect.left, screen_rect.top}, {screen_rect.right, screen_rect.bottom}};
  MapWindowPoints(nullptr, hwnd_, corners, 2);
  ::MoveWindow(item, corners[0].x, corners[0].y, corners[1].x - corners[0].x,
               corners[1].y - corners[0].y, repaint ? TRUE : FALSE);
}

Size DialogWindow::TextSize(int id, const std::string& text) {
  HWND item = Item(id);
  if (!item) return {};
  const ClientDc client(item);
  const HDC dc = client.get();
  if (!dc) return {};
  // A control without a font of its own draws in the system font, which a
  // fresh device context holds.
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(item, WM_GETFONT, 0, 0));
  HGDIOBJ before = font ? SelectObject(dc, font) : nullptr;
  const std::wstring wide = Widen(text);
  SIZE size{};
  const BOOL measured =
      GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  if (before) SelectObject(dc, before);
  return measured ? Size{size.cx, size.cy} : Size{};
}

Rect DialogWindow::ClientArea() {
  RECT r{};
  GetClientRect(hwnd_, &r);
  MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return ToRect(r);
}

std::unique_ptr<Canvas> DialogWindow::DrawOn(int id) {
  HWND item = Item(id);
  if (!item) return nullptr;
  return std::make_unique<ControlCanvas>(item);
}

std::vector<Colour> DialogWindow::CaptureClient(const Rect& rect) {
  return CaptureClientArea(hwnd_, rect);
}

namespace {

BOOL CALLBACK FindDisplay(HWND child, LPARAM found) {
  wchar_t name[64] = {};
  GetClassNameW(child, name, 64);
  if (lstrcmpiW(name, kImageDisplayClass) != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

}  // namespace

ImageControl* DialogWindow::Imaging() {
  HWND display = nullptr;
  EnumChildWindows(hwnd_, &FindDisplay, reinterpret_cast<LPARAM>(&display));
  if (!display) return nullptr;
  return reinterpret_cast<ImageControl*>(SendMessageW(display, kGetImageControlMessage, 0, 0));
}

void Win32DialogHost::SetFailureMessage(const std::string& text, const std::string& caption) {
  win32::SetFailureMessage(text, caption);
}

void Win32DialogHost::ShowMessage(const std::string& text, const std::string& caption) {
  ::MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), MB_OK);
}

}  // namespace z4::win32
