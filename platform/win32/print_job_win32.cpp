#include "platform/win32/print_job_win32.h"

#include <commdlg.h>

#include "platform/win32/system_library.h"

namespace z4::win32 {
namespace {

// The printer settings the dialog hands back, released with the object.
class GlobalMemory {
 public:
  explicit GlobalMemory(HGLOBAL memory) : memory_(memory) {}
  ~GlobalMemory() {
    if (memory_) GlobalFree(memory_);
  }
  GlobalMemory(const GlobalMemory&) = delete;
  GlobalMemory& operator=(const GlobalMemory&) = delete;
  HGLOBAL get() const { return memory_; }

 private:
  HGLOBAL memory_;
};

}  // namespace

std::unique_ptr<PrintJob> Win32PrintJob::Choose(HWND owner) {
  PRINTDLGW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.Flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                 PD_NOSELECTION | PD_RETURNDC;
  static const SystemLibrary comdlg32(L"comdlg32.dll");
  const auto print = comdlg32.Find<decltype(&PrintDlgW)>("PrintDlgW");
  {
    const OleSession ole;
    if (!print || !print(&dialog)) return nullptr;
  }
  const GlobalMemory devmode(dialog.hDevMode);
  const GlobalMemory devnames(dialog.hDevNames);
  if (!dialog.hDC) return nullptr;
  int orientation = DMORIENT_PORTRAIT;
  if (devmode.get()) {
    if (const auto* mode = static_cast<const DEVMODEW*>(GlobalLock(devmode.get()))) {
      orientation = mode->dmOrientation;
      GlobalUnlock(devmode.get());
    }
  }
  return std::unique_ptr<PrintJob>(new Win32PrintJob(dialog.hDC, orientation));
}

Win32PrintJob::Win32PrintJob(HDC dc, int orientation)
    : dc_(dc), orientation_(orientation), canvas_(dc, Rect{}) {}

Win32PrintJob::~Win32PrintJob() {
  if (started_) AbortDoc(dc_);
  DeleteDC(dc_);
}

bool Win32PrintJob::StartDocument() {
  // No document name, output file or data type: the printer's defaults.
  DOCINFOW info{};
  info.cbSize = sizeof(info);
  started_ = StartDocW(dc_, &info) > 0;
  return started_;
}

bool Win32PrintJob::StartPage() {
  return ::StartPage(dc_) > 0;
}

bool Win32PrintJob::EndPage() {
  return ::EndPage(dc_) > 0;
}

bool Win32PrintJob::EndDocument() {
  const bool ended = EndDoc(dc_) > 0;
  started_ = false;
  return ended;
}

void Win32PrintJob::AbortDocument() {
  if (started_) AbortDoc(dc_);
  started_ = false;
}

}  // namespace z4::win32
