// How a dialog reaches the image component hosted in it, without knowing the
// component: the display is a child window of this class, and answers this
// message with its component's objects.
#pragma once

#include <windows.h>

namespace z4::win32 {

inline constexpr wchar_t kImageDisplayClass[] = L"Z4ImageDisplay";

// Sent to a display window, wParam and lParam 0: the result is the
// ImageControl* of the window's component (made on first use, living as long
// as the window), or 0.
inline constexpr UINT kGetImageControlMessage = WM_USER + 1;

}  // namespace z4::win32
