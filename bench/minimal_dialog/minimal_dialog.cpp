// The yardstick of the start-up benchmark: a plain modal dialog from a
// resource with a Set and a Cancel button, and nothing else. Built with the
// shipped program's compiler, runtime, flags and manifest, it shows how long
// Windows (here Wine) takes to start such a program and show its window.
#include <windows.h>

#include "res/resource_ids.h"

namespace {

INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDC_CANCEL_BUTTON || LOWORD(wparam) == IDCANCEL) {
        EndDialog(window, 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CONFIG), nullptr, &Proc, 0);
  return 0;
}
