// A dialog's life: creating it from its resource, routing its messages to the
// presenter (guarded: what escapes a handler is told to the user, not thrown
// through Windows), its timers, the first paint, and ending it.
#include "platform/win32/dialog_window.h"

#include <dbt.h>

#include "platform/win32/dialog_init_data.h"
#include "platform/win32/failure_guard.h"
#include "platform/win32/unicode.h"

namespace z4::win32 {
namespace {

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

void Win32DialogHost::SetFailureMessage(const std::string& text, const std::string& caption) {
  win32::SetFailureMessage(text, caption);
}

void Win32DialogHost::ShowMessage(const std::string& text, const std::string& caption) {
  ::MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), MB_OK);
}

}  // namespace z4::win32
