// A system DLL that only some actions need (the common dialogs, the shell's
// "open"): loaded from the system folder when such an action first runs, not
// at start-up, where the program does not need it. Loading a DLL also runs its
// start-up code and that of the DLLs it imports, which for the common dialogs
// includes the printing system's.
#pragma once

#include <windows.h>

#include <string>

namespace z4::win32 {

// The system folder ("C:\\WINDOWS\\system32"); empty when it cannot be had.
std::wstring SystemFolder();

class SystemLibrary {
 public:
  // `name` is the file name alone ("comdlg32.dll").
  explicit SystemLibrary(const wchar_t* name);
  ~SystemLibrary();
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;

  // The exported function `name` as a pointer of type F; nullptr when the
  // library or the function is missing.
  template <typename F>
  F Find(const char* name) const {
    if (!module_) return nullptr;
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_ = nullptr;
};

// OLE for the calling thread while the object lives: the common dialogs and the
// shell may use COM objects that need it. Nesting is allowed.
class OleSession {
 public:
  OleSession();
  ~OleSession();
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  bool ok_ = false;
};

}  // namespace z4::win32
