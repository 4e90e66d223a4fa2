// Where a dialog and its controls are on the screen, how much room a text
// needs in a control, and drawing on, capturing and finding the controls that
// show pictures.
#include "platform/win32/dialog_window.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/image_display_protocol.h"
#include "platform/win32/unicode.h"
#include "platform/win32/window_capture.h"

namespace z4::win32 {
namespace {

Rect ToRect(const RECT& r) {
  return Rect{r.left, r.top, r.right, r.bottom};
}

}  // namespace

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

}  // namespace z4::win32
