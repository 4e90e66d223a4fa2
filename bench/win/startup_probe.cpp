// Start-up of Z4Utility.exe next to a plain dialog program built the same way:
// both started again and again in the same Wine prefix, alternately, each time
// from process creation to a visible window with the Set button. Prints every
// run, the spread, and one line with both medians and their ratio; then, with
// the start-up trace asked for, the median time of each of the program's
// start-up steps. Run under Wine by bench/startup_time.sh.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "probe_support.h"

using namespace z4::bench;

namespace {

// Runs after each run, so that what a closing program leaves to the server
// and the display is done before the next one starts.
constexpr DWORD kSettleMs = 150;

// Process creation to visible main window in ms; negative when it did not show.
double TimeOneStart(const std::wstring& program) {
  PROCESS_INFORMATION info{};
  double start = 0;
  HWND window = StartAndWaitForWindow(program, &info, &start);
  if (!info.hProcess) return -2;
  const double took = window ? NowMs() - start : -1;
  CloseProgram(window, info);
  Sleep(kSettleMs);
  return took;
}

double At(const std::vector<double>& sorted, double fraction) {
  return sorted[static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5)];
}

struct Spread {
  double median, q1, q3, min, max;
};

Spread SpreadOf(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return {At(v, 0.5), At(v, 0.25), At(v, 0.75), v.front(), v.back()};
}

void PrintSpread(const char* name, const std::vector<double>& v) {
  const Spread s = SpreadOf(v);
  std::printf(
      "%s: median %.1f ms, middle half %.1f-%.1f ms, min %.1f ms, max %.1f ms over %zu runs\n",
      name, s.median, s.q1, s.q3, s.min, s.max, v.size());
}

// The lines "phase elapsed-ms" of a trace file, in order.
std::vector<std::pair<std::string, double>> ReadTrace(const std::wstring& path) {
  std::vector<std::pair<std::string, double>> marks;
  std::ifstream in(path.c_str());
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string phase;
    double ms = 0;
    if (fields >> phase >> ms) marks.emplace_back(phase, ms);
  }
  return marks;
}

// Starts the program with the trace asked for, waits for its first paint and
// the marks after it (until none has come for 200 ms), closes it and returns
// the marks.
std::vector<std::pair<std::string, double>> TracedStart(const std::wstring& program,
                                                        const std::wstring& trace) {
  DeleteFileW(trace.c_str());
  SetEnvironmentVariableW(L"Z4_STARTUP_TRACE", trace.c_str());
  PROCESS_INFORMATION info{};
  double start = 0;
  HWND window = StartAndWaitForWindow(program, &info, &start);
  SetEnvironmentVariableW(L"Z4_STARTUP_TRACE", nullptr);
  size_t seen = 0;
  double last_change = NowMs();
  bool painted = false;
  while (window && NowMs() - start < 10000) {
    const auto marks = ReadTrace(trace);
    if (marks.size() != seen) {
      seen = marks.size();
      last_change = NowMs();
    }
    for (const auto& mark : marks) painted = painted || mark.first == "first-paint";
    if (painted && NowMs() - last_change > 200) break;
    Sleep(10);
  }
  CloseProgram(window, info);
  Sleep(kSettleMs);
  return ReadTrace(trace);
}

void PrintTraceMedians(const std::wstring& program, int runs) {
  const std::wstring trace = program.substr(0, program.rfind(L'\\')) + L"\\startup-trace.txt";
  std::vector<std::string> order;
  std::map<std::string, std::vector<double>> at, step;
  for (int i = 0; i < runs; ++i) {
    const auto marks = TracedStart(program, trace);
    double before = 0;
    for (const auto& [phase, ms] : marks) {
      if (!at.count(phase)) order.push_back(phase);
      at[phase].push_back(ms);
      step[phase].push_back(ms - before);
      before = ms;
    }
  }
  if (order.empty()) {
    std::printf("trace: no marks written\n");
    return;
  }
  std::printf("trace (median of %d runs; the step is the time since the mark before):\n", runs);
  for (const std::string& phase : order) {
    std::printf("trace: %-18s at %6.1f ms, step %6.1f ms\n", phase.c_str(),
                SpreadOf(at[phase]).median, SpreadOf(step[phase]).median);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_probe PROGRAM MINIMAL_DIALOG [RUNS] [TRACED_RUNS]\n");
    return 2;
  }
  const std::wstring ours = argv[1];
  const std::wstring minimal = argv[2];
  const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 20;
  const int traced = argc > 4 ? _wtoi(argv[4]) : 0;

  // Warm-up, not counted: the server, the display and the page cache hold
  // what both programs need.
  for (int i = 0; i < 2; ++i) {
    if (TimeOneStart(ours) < 0 || TimeOneStart(minimal) < 0) {
      std::fprintf(stderr, "a program did not start or show its window\n");
      return 1;
    }
  }
  // Alternately, each first in every other pair, so that a drift in the
  // machine's load falls on both alike.
  std::vector<double> ours_ms, minimal_ms, ratios;
  for (int i = 0; i < runs; ++i) {
    double a = 0, b = 0;
    if (i % 2 == 0) {
      a = TimeOneStart(ours);
      b = TimeOneStart(minimal);
    } else {
      b = TimeOneStart(minimal);
      a = TimeOneStart(ours);
    }
    std::printf("run %d: ours %.1f ms, minimal dialog %.1f ms\n", i + 1, a, b);
    if (a < 0 || b < 0) continue;
    ours_ms.push_back(a);
    minimal_ms.push_back(b);
    ratios.push_back(a / b);
  }
  if (ours_ms.empty()) return 1;
  PrintSpread("ours", ours_ms);
  PrintSpread("minimal dialog", minimal_ms);
  const Spread r = SpreadOf(ratios);
  std::printf("ratio of each pair: median %.2f, middle half %.2f-%.2f\n", r.median, r.q1, r.q3);
  const double a = SpreadOf(ours_ms).median, b = SpreadOf(minimal_ms).median;
  std::printf("start-up: ours %.1f ms, minimal dialog %.1f ms, ratio %.2f\n", a, b, a / b);
  if (traced > 0) PrintTraceMedians(ours, traced);
  return 0;
}
