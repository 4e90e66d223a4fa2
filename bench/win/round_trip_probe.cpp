// Settings read round trip of Z4Utility.exe against a board that answers at
// once: from the main window being visible to the board's settings shown (the
// Set button enabled); then the Set round trip: from the click on Set to the
// panel usable again (the write and its read-back). Then it leaves the program
// watching the board while the runner script measures its CPU use. Run under
// Wine by bench/settings_round_trip.sh.
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
    std::fprintf(stderr, "usage: round_trip_probe PROGRAM [RUNS] [IDLE_SECONDS]\n");
    return 2;
  }
  const std::wstring program = argv[1];
  const int runs = argc > 2 ? _wtoi(argv[2]) : 5;
  const int idle_seconds = argc > 3 ? _wtoi(argv[3]) : 10;
  std::vector<double> trips, sets;
  for (int i = 0; i < runs; ++i) {
    PROCESS_INFORMATION info{};
    double start = 0;
    HWND window = StartAndWaitForWindow(program, &info, &start);
    if (!info.hProcess) {
      std::fprintf(stderr, "cannot start the program\n");
      return 1;
    }
    if (!window) {
      std::printf("run %d: no window\n", i + 1);
      CloseProgram(window, info);
      return 1;
    }
    const double opened = NowMs();
    HWND set = GetDlgItem(window, kSetButton);
    while (!IsWindowEnabled(set) && NowMs() - opened < 60000) Sleep(1);
    const double shown = NowMs();
    trips.push_back(shown - opened);
    std::printf("run %d: window visible %.0f ms after start, settings shown %.0f ms later\n", i + 1,
                opened - start, shown - opened);
    const double clicked = NowMs();
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(kSetButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(set));
    while (IsWindowEnabled(set) && NowMs() - clicked < 5000) Sleep(1);
    while (!IsWindowEnabled(set) && NowMs() - clicked < 120000) Sleep(1);
    sets.push_back(NowMs() - clicked);
    std::printf("run %d: Set done %.0f ms after the click\n", i + 1, sets.back());

    if (i == runs - 1 && idle_seconds > 0) {
      Sleep(1000);  // let the arrow cursor come back and the watch settle
      // The runner script reads the process's CPU time from the host between
      // these two lines (Wine reports no times for another process).
      std::printf("idle-start\n");
      std::fflush(stdout);
      Sleep(static_cast<DWORD>(idle_seconds) * 1000);
      std::printf("idle-end\n");
      std::fflush(stdout);
      Sleep(500);  // the runner's second reading
    }
    CloseProgram(window, info);
  }
  for (auto* series : {&trips, &sets}) {
    std::sort(series->begin(), series->end());
    std::printf("settings %s round trip: median %.0f ms, min %.0f ms, max %.0f ms over %zu runs\n",
                series == &trips ? "read" : "Set", (*series)[series->size() / 2], series->front(),
                series->back(), series->size());
  }
  return 0;
}
