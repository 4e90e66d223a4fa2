// The PrintJob port on the common print dialog and a printer device context.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/canvas.h"
#include "platform/win32/gdi_canvas.h"

namespace z4::win32 {

class Win32PrintJob : public PrintJob {
 public:
  // Shows the print dialog (all pages, copies by the printer, no page
  // numbers, no print-to-file, no selection) owned by `owner`; nullptr when
  // the user cancels it or it fails.
  static std::unique_ptr<PrintJob> Choose(HWND owner);
  ~Win32PrintJob() override;
  Win32PrintJob(const Win32PrintJob&) = delete;
  Win32PrintJob& operator=(const Win32PrintJob&) = delete;

  int Orientation() override { return orientation_; }
  bool StartDocument() override;
  bool StartPage() override;
  Canvas& Page() override { return canvas_; }
  bool EndPage() override;
  bool EndDocument() override;
  void AbortDocument() override;

 private:
  Win32PrintJob(HDC dc, int orientation);
  HDC dc_;
  int orientation_;
  bool started_ = false;
  GdiCanvas canvas_;
};

}  // namespace z4::win32
