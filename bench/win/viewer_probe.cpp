// Timing probes of the result windows of Z4Utility.exe in test/adjust mode,
// run under Wine by bench/viewers.sh against a board that answers at once.
//
//   viewer_probe graph               the graph window of the program, opened
//                                    here with the program's own window code
//                                    over a board file on E:, so that both
//                                    ways of saving Level.bmp run in the
//                                    process that owns the window: per pixel
//                                    (the way the file was first specified:
//                                    one GetPixel and one three-byte write per
//                                    pixel) against the program's capture.
//                                    Then the repaint time and board reads.
//   viewer_probe PROGRAM inspection  from the board's end marker appearing to
//                                    the captured image visible.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/ports.h"
#include "core/shared_state.h"
#include "platform/win32/dialog_window.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/window_capture.h"
#include "probe_support.h"
#include "res/resource_ids.h"
#include "sim/level_file.h"
#include "viewers/ccd_graph_dlg.h"
#include "viewers/level_bitmap.h"

using namespace z4::bench;

namespace {

template <typename F>
bool WaitUntil(F done, double ms) {
  const double end = NowMs() + ms;
  while (!done()) {
    if (NowMs() > end) return false;
    Sleep(1);
  }
  return true;
}

bool Exists(const wchar_t* path) {
  return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// The file's bytes the way first specified: the client pixels one GetPixel
// at a time (rows 540 down to 1), each written as its own three-byte record.
std::string PerPixelLevelBitmap(HWND graph, const std::wstring& path) {
  HDC dc = GetDC(graph);
  std::vector<COLORREF> buffer(1100 * 540);
  std::size_t at = 0;
  for (int y = 540; y >= 1; --y) {
    for (int x = 0; x < 1100; ++x) buffer[at++] = GetPixel(dc, x, y);
  }
  ReleaseDC(graph, dc);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  // The header as one block: the per-pixel records are what is slow.
  std::string header = z4::EncodeLevelBitmap({}, 1100, 540).substr(0, 54);
  DWORD written = 0;
  WriteFile(file, header.data(), 54, &written, nullptr);
  std::string bytes = header;
  for (COLORREF c : buffer) {
    if (c == CLR_INVALID) c = 0xFFFFFF;
    const char record[3] = {static_cast<char>(GetBValue(c)), static_cast<char>(GetGValue(c)),
                            static_cast<char>(GetRValue(c))};
    WriteFile(file, record, 3, &written, nullptr);
    bytes.append(record, 3);
  }
  CloseHandle(file);
  return bytes;
}

// The program's own way: one capture of the client area, one write.
std::string CapturedLevelBitmap(HWND graph, const std::wstring& path) {
  const double t0 = NowMs();
  const auto rows = z4::win32::CaptureClientArea(
      graph, z4::Rect{0, 1, z4::kLevelBitmapWidth, z4::kLevelBitmapHeight + 1});
  const double t1 = NowMs();
  std::string bytes = z4::EncodeLevelBitmap(rows, z4::kLevelBitmapWidth, z4::kLevelBitmapHeight);
  const double t2 = NowMs();
  z4::win32::Win32FileSystem files;
  char narrow[MAX_PATH] = {};
  WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
  files.ReplaceFileContents(narrow, bytes);
  const double t3 = NowMs();
  std::printf("ours: capture %.1f ms, encode %.1f ms, write %.1f ms\n", t1 - t0, t2 - t1, t3 - t2);
  return bytes;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

BOOL CALLBACK MatchGraph(HWND window, LPARAM param) {
  if (!GetDlgItem(window, IDC_GRAPH_FRAME)) return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

// The graph window of this thread.
HWND ThisThreadsGraph() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &MatchGraph, reinterpret_cast<LPARAM>(&found));
  return found;
}

// The graph window's presenter, with the measurements run from a timer once
// the window is up.
class MeasuredGraph : public z4::DialogHandler {
 public:
  MeasuredGraph(z4::Ports& ports, std::wstring folder)
      : graph_(ports), folder_(std::move(folder)) {}
  bool OnInitDialog(z4::DialogView& view) override {
    view_ = &view;
    const bool focus = graph_.OnInitDialog(view);
    view.StartTimer(kMeasureTimer, 500);
    return focus;
  }
  void OnCommand(int id, int code) override { graph_.OnCommand(id, code); }
  bool HandlesPaint() const override { return true; }
  void OnPaint() override { graph_.OnPaint(); }
  void OnDestroy() override { graph_.OnDestroy(); }
  void OnTimer(int id) override {
    if (id != kMeasureTimer) return;
    view_->StopTimer(kMeasureTimer);
    status = Measure(ThisThreadsGraph());
    view_->EndDialog(z4::kResultOk);
  }
  int status = 1;

 private:
  static constexpr int kMeasureTimer = 77;

  int Measure(HWND graph) {
    if (!graph) return 1;
    std::vector<double> per_pixel, ours;
    std::string slow_bytes, fast_bytes;
    for (int i = 0; i < 3; ++i) {
      double t = NowMs();
      slow_bytes = PerPixelLevelBitmap(graph, folder_ + L"\\LevelPerPixel.bmp");
      per_pixel.push_back(NowMs() - t);
      t = NowMs();
      fast_bytes = CapturedLevelBitmap(graph, folder_ + L"\\Level.bmp");
      ours.push_back(NowMs() - t);
    }
    const double a = Median(per_pixel), b = Median(ours);
    std::printf("same bytes as the per-pixel file: %s (%zu bytes)\n",
                slow_bytes == fast_bytes ? "yes" : "NO", fast_bytes.size());
    std::printf("level.bmp: per-pixel %.0f ms, ours %.1f ms, ratio %.0f\n", a, b, a / b);

    // Repaints: the whole window invalidated and painted again, children too.
    const std::wstring copy = folder_ + L"\\BackupZ4\\Z4.CSV";
    std::vector<double> repaints;
    int reads = 0;
    for (int i = 0; i < 50; ++i) {
      DeleteFileW(copy.c_str());  // a read of the board's file would bring it back
      const double t = NowMs();
      RedrawWindow(graph, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      GdiFlush();
      repaints.push_back(NowMs() - t);
      reads += Exists(copy.c_str());
    }
    std::vector<double> drawings;
    for (int i = 0; i < 20; ++i) {
      const double t = NowMs();
      graph_.DrawLevelGraph();
      GdiFlush();
      drawings.push_back(NowMs() - t);
    }
    std::printf("of a repaint, the graph's own drawing: %.1f ms median\n", Median(drawings));
    std::printf("graph repaint: %.1f ms median, %d board reads\n", Median(repaints), reads);
    return slow_bytes == fast_bytes ? 0 : 1;
  }

  z4::CCcdGraphDlg graph_;
  std::wstring folder_;
  z4::DialogView* view_ = nullptr;
};

int Graph(const std::wstring& folder) {
  const std::string csv = z4::sim::GeneratedLevelFile();
  HANDLE file = CreateFileW(L"E:\\Z4.CSV", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, csv.data(), static_cast<DWORD>(csv.size()), &written, nullptr);
  CloseHandle(file);

  z4::win32::Win32Registry registry;
  z4::win32::Win32System system;
  z4::win32::Win32FileSystem files;
  z4::win32::Win32Clock clock;
  z4::Ports ports{registry, system, files, clock};
  z4::SharedState::SetLanguageFlag(1);
  z4::SharedState::SetDeviceDrive("E");
  z4::SharedState::SetDeviceFound(1);
  MeasuredGraph graph(ports, folder);
  z4::win32::DialogWindow::Run(GetModuleHandleW(nullptr), nullptr, IDD_GRAPH, graph);
  return graph.status;
}

int Inspection(HWND main, DWORD pid) {
  SendDlgItemMessageW(main, IDC_ITEM_KIBAN, BM_SETCHECK, BST_CHECKED, 0);
  SendDlgItemMessageW(main, IDC_NUMBER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1234"));
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_EXECUTE, BN_CLICKED), 0);
  HWND window = nullptr;
  if (!WaitUntil([&] { return (window = VisibleDialogWith(pid, IDC_KIBAN_DISPLAY)) != nullptr; },
                 15000)) {
    std::printf("no inspection window\n");
    return 1;
  }
  // The moment the board's end marker appears on its drive.
  if (!WaitUntil([] { return Exists(L"E:\\Z4JOB.END"); }, 30000)) {
    std::printf("no end marker\n");
    return 1;
  }
  const double marker = NowMs();
  // The image visible: the display's top-left quadrant shows the pattern's red.
  HWND display = GetDlgItem(window, IDC_KIBAN_DISPLAY);
  RECT client{};
  GetClientRect(display, &client);
  POINT probe{client.right / 2 - client.right / 8, client.bottom / 2 - client.bottom / 16};
  ClientToScreen(display, &probe);
  const bool shown = WaitUntil(
      [&] {
        HDC screen = GetDC(nullptr);
        const COLORREF c = GetPixel(screen, probe.x, probe.y);
        ReleaseDC(nullptr, screen);
        return c == RGB(255, 0, 0);
      },
      30000);
  const double visible = NowMs();
  if (!shown) {
    std::printf("the image never showed\n");
    return 1;
  }
  // The floor: after the marker, the window's next 100 ms tick (0 to 100 ms,
  // not counted) tests it, holding it 300 ms, and pauses 150 ms; deletes the
  // job (150 ms test), the marker (450) and the flush file (150); waits one
  // more tick (100), tests for the log (150) and fetches and shows the image.
  const int floor = 450 + 150 + 450 + 150 + 100 + 150;
  const double took = visible - marker;
  std::printf("inspection image: %.0f ms, floor %d ms, ratio %.2f\n", took, floor, took / floor);
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_KIBAN_RETURN, BN_CLICKED), 0);
  WaitUntil([&] { return !IsWindow(window); }, 20000);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: viewer_probe PROGRAM graph|inspection\n");
    return 2;
  }
  const std::wstring program = argv[1];
  const std::wstring mode = argv[2];
  const std::wstring folder = program.substr(0, program.rfind(L'\\'));
  if (mode == L"graph") {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring own = self;
    return Graph(own.substr(0, own.rfind(L'\\')));
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring command = L"\"" + program + L"\" /adjust";
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info)) {
    std::fprintf(stderr, "cannot start the program\n");
    return 1;
  }
  HWND main = nullptr;
  const bool ready = WaitUntil(
      [&] {
        main = VisibleDialogWith(info.dwProcessId, IDC_EXECUTE);
        return main && IsWindowEnabled(GetDlgItem(main, IDC_EXECUTE));
      },
      30000);
  int status = 1;
  if (!ready) {
    std::printf("the main window never became usable\n");
  } else {
    status = Inspection(main, info.dwProcessId);
  }
  CloseProgram(main, info);
  return status;
}
