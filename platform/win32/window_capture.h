// The pixels of a window's client area, read in one operation.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/canvas.h"

namespace z4::win32 {

// The colours (0x00BBGGRR) inside `rect` of the window's client area, row by
// row from the top. Points outside the client area, or where the window is
// not visible on the screen (covered by another window, off the screen), are
// kInvalidColour: a capture never holds another window's pixels.
std::vector<Colour> CaptureClientArea(HWND window, const Rect& rect);

}  // namespace z4::win32
