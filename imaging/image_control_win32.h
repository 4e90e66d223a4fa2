// The image component on Win32: the display object is a child window of the
// class "Z4ImageDisplay" (placed by the dialog resource), the file and common
// objects have no window. Decoded images live in one table for the program
// and pass between the objects as 32-bit handles.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/image_control.h"
#include "platform/win32/image_display_protocol.h"

namespace z4::win32 {

// The display window's class (kImageDisplayClass); registered once, before
// any dialog that holds one is created. The window answers
// kGetImageControlMessage with the component it belongs to.
bool RegisterImageDisplayClass(HINSTANCE instance);

// The three objects for the display window `display` (a window of the class
// above), bundled as the port the board inspection window uses.
class Win32ImageControl {
 public:
  explicit Win32ImageControl(HWND display);
  ~Win32ImageControl();
  Win32ImageControl(const Win32ImageControl&) = delete;
  Win32ImageControl& operator=(const Win32ImageControl&) = delete;
  ImageControl& control();

 private:
  struct Objects;
  std::unique_ptr<Objects> objects_;
};

}  // namespace z4::win32
