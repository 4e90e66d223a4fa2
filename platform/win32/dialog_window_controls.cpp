// What a dialog does to its controls at the presenter's asking: texts, checks,
// trackbars, lists, focus, the controls added from another resource, and the
// text-table font.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "platform/win32/dialog_template.h"
#include "platform/win32/dialog_window.h"
#include "platform/win32/font_match.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/unicode.h"

namespace z4::win32 {

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

}  // namespace z4::win32
