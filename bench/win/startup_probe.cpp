// Starts Z4Utility.exe again and again and measures, for each start, the time
// from process creation to its main window being visible. Prints one line per
// run and a summary; run under Wine by bench/startup_time.sh.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisibleMain(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  // The main window is the dialog with the Set button (id 1026).
  if (pid == search->pid && IsWindowVisible(window) && GetDlgItem(window, 1026)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

double Ms(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER freq) {
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(freq.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: startup_probe PROGRAM [RUNS]\n");
    return 2;
  }
  const std::wstring program = argv[1];
  const int runs = argc > 2 ? _wtoi(argv[2]) : 10;
  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + program + L"\"";
    const std::wstring folder = program.substr(0, program.rfind(L'\\'));
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &pi)) {
      std::fprintf(stderr, "cannot start the program\n");
      return 1;
    }
    Search search{pi.dwProcessId, nullptr};
    for (;;) {
      EnumWindows(&FindVisibleMain, reinterpret_cast<LPARAM>(&search));
      QueryPerformanceCounter(&now);
      if (search.found || Ms(start, now, freq) > 30000) break;
      Sleep(1);
    }
    if (search.found) {
      times.push_back(Ms(start, now, freq));
      std::printf("run %d: %.1f ms\n", i + 1, times.back());
      PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(1027, BN_CLICKED), 0);
    } else {
      std::printf("run %d: no window within 30 s\n", i + 1);
    }
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  if (times.empty()) return 1;
  std::sort(times.begin(), times.end());
  std::printf("start to visible window: median %.1f ms, min %.1f ms, max %.1f ms over %zu runs\n",
              times[times.size() / 2], times.front(), times.back(), times.size());
  return 0;
}
