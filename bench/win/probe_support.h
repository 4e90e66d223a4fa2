// What the timing probes share: starting Z4Utility.exe, a millisecond clock,
// and finding its main window (the dialog with the Set button) from outside.
#pragma once

#include <windows.h>

#include <string>

namespace z4::bench {

constexpr int kSetButton = 1026;
constexpr int kCancelButton = 1027;

struct DialogSearch {
  DWORD pid;
  int control_id;
  HWND found;
};

// An enumeration callback: stdcall on 32-bit Windows, which a lambda is not.
inline BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<DialogSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == s->pid && IsWindowVisible(window) && GetDlgItem(window, s->control_id)) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

// The visible top-level window of the process holding the control, or nullptr.
inline HWND VisibleDialogWith(DWORD process_id, int control_id) {
  DialogSearch search{process_id, control_id, nullptr};
  EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The visible main window of the process, or nullptr.
inline HWND VisibleMainWindow(DWORD process_id) {
  return VisibleDialogWith(process_id, kSetButton);
}

inline double NowMs() {
  static const LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(freq.QuadPart);
}

// Starts the program in its own folder.
inline bool StartProgram(const std::wstring& program, PROCESS_INFORMATION* info) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring command = L"\"" + program + L"\"";
  const std::wstring folder = program.substr(0, program.rfind(L'\\'));
  return CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, info) != 0;
}

// Starts the program and waits up to 30 s for its main window; nullptr when it
// did not start or show. `started` receives the time of the start.
inline HWND StartAndWaitForWindow(const std::wstring& program, PROCESS_INFORMATION* info,
                                  double* started) {
  *started = NowMs();
  if (!StartProgram(program, info)) return nullptr;
  HWND window = nullptr;
  while (!(window = VisibleMainWindow(info->dwProcessId)) && NowMs() - *started < 30000) Sleep(1);
  return window;
}

// Asks the program to close through its Cancel button and waits for it.
inline void CloseProgram(HWND window, PROCESS_INFORMATION& info) {
  if (!info.hProcess) return;
  if (window) PostMessageW(window, WM_COMMAND, MAKEWPARAM(kCancelButton, BN_CLICKED), 0);
  if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(info.hProcess, 1);
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
}

}  // namespace z4::bench
