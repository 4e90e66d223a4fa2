// Starts Z4Utility.exe again and again and measures, for each start, the time
// from process creation to its main window being visible. Prints one line per
// run and a summary; run under Wine by bench/startup_time.sh.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "probe_support.h"

using namespace z4::bench;

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: startup_probe PROGRAM [RUNS]\n");
    return 2;
  }
  const std::wstring program = argv[1];
  const int runs = argc > 2 ? _wtoi(argv[2]) : 10;
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    PROCESS_INFORMATION info{};
    double start = 0;
    HWND window = StartAndWaitForWindow(program, &info, &start);
    if (!info.hProcess) {
      std::fprintf(stderr, "cannot start the program\n");
      return 1;
    }
    if (window) {
      times.push_back(NowMs() - start);
      std::printf("run %d: %.1f ms\n", i + 1, times.back());
    } else {
      std::printf("run %d: no window within 30 s\n", i + 1);
    }
    CloseProgram(window, info);
  }
  if (times.empty()) return 1;
  std::sort(times.begin(), times.end());
  std::printf("start to visible window: median %.1f ms, min %.1f ms, max %.1f ms over %zu runs\n",
              times[times.size() / 2], times.front(), times.back(), times.size());
  return 0;
}
