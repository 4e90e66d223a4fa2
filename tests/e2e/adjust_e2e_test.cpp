// Test/adjust mode through the real program: the maintenance panel, the CCD
// level graph, Level.bmp, printing, and a continuous job stopped by hand.
#include <windows.h>

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#include "board_registry.h"
#include "e2e_support.h"
#include "res/resource_ids.h"
#include "sim/level_file.h"
#include "wine_printer.h"

namespace z4::e2e {
namespace {

const char kEnglish[] = "LANGUAGE=ENGLISH\r\nCONF_DIALOG=Z-4 Adjust (test)\r\nBUTTON_SET=Set\r\n";
const char kJapanese[] = "LANGUAGE=JAPAN\r\nCONF_DIALOG=Z-4 Adjust (test)\r\n";

void Check(HWND dialog, int id, bool checked) {
  SendDlgItemMessageW(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The program in test/adjust mode with the emulated board on E:, its board
// settings read and shown.
class AdjustSession {
 public:
  bool Start(const char* texts, const std::wstring& board_options = L"") {
    if (!WriteBytes(ProgramFolder() + L"\\Z4Utility.ini", texts)) return false;
    if (!RegisterBoardNt(L'E')) return false;
    if (!board.Start("Density=85\n", board_options)) return false;
    if (!utility.Start(ProgramPath(), L"/adjust")) return false;
    window = WaitDialogWithControl(utility.Id(), IDC_EXECUTE, 15000);
    return window && WaitFor([&] { return ItemEnabled(window, IDC_EXECUTE); }, 30000);
  }
  void Close() {
    Click(window, IDC_CANCEL_BUTTON);
    EXPECT_TRUE(utility.WaitExit(10000));
  }
  // Runs the waveform job and returns the graph window.
  HWND OpenGraph() {
    Check(window, IDC_ITEM_WAVE, true);
    Click(window, IDC_EXECUTE);
    return WaitDialogWithControl(utility.Id(), IDC_GRAPH_FRAME, 30000);
  }

  EmulatedBoard board;
  Process utility;
  HWND window = nullptr;
};

TEST(AdjustMode, TheFullWindowWithTheBoardsSettingsAndTheEnglishTexts) {
  AdjustSession s;
  ASSERT_TRUE(s.Start(kEnglish));
  HWND w = s.window;
  EXPECT_EQ(TrackbarPos(w, IDC_DENSITY_TRACKBAR), 85) << "the board's settings were read";
  EXPECT_EQ(ItemText(w, IDC_PANEL_TITLE),
            L"TEST\uFF65"
            L"ADJUST MODE");
  EXPECT_EQ(ItemText(w, IDC_ITEM_WAVE), L"HAKEI");
  EXPECT_EQ(ItemText(w, IDC_ITEM_FEED), L"FIDO");
  EXPECT_EQ(ItemText(w, IDC_EXECUTE), L"EXEC");
  EXPECT_EQ(ItemText(w, IDC_STOP), L"STOP");
  EXPECT_TRUE(ItemEnabled(w, IDC_ITEM_CCD));
  EXPECT_FALSE(ItemEnabled(w, IDC_STOP));
  RECT frame{};
  GetWindowRect(w, &frame);
  EXPECT_LE(ItemRect(w, IDC_EXECUTE).right, frame.right) << "the maintenance panel is visible";
  EXPECT_TRUE(Checked(w, IDC_FEED_ONESHOT));
  s.Close();
}

// Where the graph's plot lies in the window's client area, and its size.
struct Plot {
  POINT origin;  // the plot frame's client (0, 0)
  int width;     // of the frame's client area
  int height;
};

Plot PlotOf(HWND graph) {
  HWND frame = GetDlgItem(graph, IDC_GRAPH_FRAME);
  Plot plot{{0, 0}, 0, 0};
  ClientToScreen(frame, &plot.origin);
  ScreenToClient(graph, &plot.origin);
  RECT client{};
  GetClientRect(frame, &client);
  plot.width = client.right;
  plot.height = client.bottom;
  return plot;
}

// The colour of client point (x, y) in Level.bmp: client rows 1 to 540,
// stored bottom-up, three bytes each (blue, green, red).
COLORREF BitmapPixel(const std::string& bmp, int x, int y) {
  const std::size_t at = 54 + (static_cast<std::size_t>(540 - y) * 1100 + x) * 3;
  if (y < 1 || y > 540 || x < 0 || x >= 1100 || at + 3 > bmp.size()) return CLR_INVALID;
  return RGB(static_cast<unsigned char>(bmp[at + 2]), static_cast<unsigned char>(bmp[at + 1]),
             static_cast<unsigned char>(bmp[at]));
}

std::uint32_t U32(const std::string& b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
         static_cast<unsigned char>(b[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

TEST(AdjustGraph, WaveformGraphSavedPrintedAndClosed) {
  std::string why;
  const bool printer = InstallPostScriptPrinter(&why);
  AdjustSession s;
  ASSERT_TRUE(s.Start(kEnglish));
  HWND graph = s.OpenGraph();
  ASSERT_NE(graph, nullptr) << "no graph window";
  EXPECT_TRUE(Exists(L"E:\\Z4.CSV"));
  EXPECT_EQ(ItemText(graph, IDC_LEVEL_AXIS_0), L"0.0");
  EXPECT_EQ(ItemText(graph, IDC_LEVEL_AXIS_0 + 1), L"25.5");
  EXPECT_EQ(ItemText(graph, IDC_LEVEL_AXIS_10), L"255.0");
  EXPECT_EQ(ItemText(graph, IDC_SAMPLE_AXIS_0), L"1");
  EXPECT_EQ(ItemText(graph, IDC_SAMPLE_AXIS_1), L"172");
  EXPECT_EQ(ItemText(graph, IDC_SAMPLE_AXIS_10), L"1728");
  EXPECT_EQ(ItemText(graph, IDC_BLACK_LEVEL), L"BlackLevel:012");
  EXPECT_EQ(Text(graph), L"");
  EXPECT_EQ(ItemText(graph, IDC_GRAPH_SAVE), L"Save");
  // A screenshot for people: the runner takes it when this file appears.
  const std::wstring shot = Env(L"Z4_E2E_SHOT");
  if (!shot.empty()) {
    Sleep(300);
    WriteBytes(shot, "graph");
    WaitFor([&] { return !Exists(shot); }, 10000);
  }

  // Save: Level.bmp in the program folder.
  const std::wstring bmp_path = ProgramFolder() + L"\\Level.bmp";
  DeleteFileW(bmp_path.c_str());
  Click(graph, IDC_GRAPH_SAVE);
  ASSERT_TRUE(WaitFor([&] { return ReadBytes(bmp_path).size() == 1782054; }, 20000));
  ASSERT_TRUE(WaitFor([&] { return ItemEnabled(graph, IDC_GRAPH_SAVE); }, 10000));
  const std::string bmp = ReadBytes(bmp_path);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(U32(bmp, 2), 1782054u);
  EXPECT_EQ(U32(bmp, 10), 54u);
  EXPECT_EQ(U32(bmp, 18), 1100u);
  EXPECT_EQ(U32(bmp, 22), 540u);
  const Plot plot = PlotOf(graph);
  const int step_x = plot.width / 10, step_y = plot.height / 10;
  // White between the grid lines, near the top where the curve never goes.
  EXPECT_EQ(BitmapPixel(bmp, plot.origin.x + step_x / 2,
                        plot.origin.y + plot.height - 10 * step_y + step_y / 2),
            RGB(255, 255, 255));
  EXPECT_EQ(BitmapPixel(bmp, plot.origin.x + 5 * step_x + 3, plot.origin.y + 2),
            RGB(255, 255, 255));
  // Black where the series puts its points.
  const double x_scale = 10.0 * step_x / sim::kGeneratedLevelCount;
  const double y_scale = 10.0 * step_y / 255.0;
  int black = 0, looked = 0;
  for (int i = 10; i < sim::kGeneratedLevelCount - 10; i += 97) {
    const int x = plot.origin.x + static_cast<int>(i * x_scale);
    const int y = plot.origin.y + plot.height - static_cast<int>(sim::GeneratedLevel(i) * y_scale);
    ++looked;
    black += BitmapPixel(bmp, x, y) == RGB(0, 0, 0);
  }
  EXPECT_EQ(black, looked) << "curve points found black";

  // PRINT through the PostScript printer into the runner's file.
  const std::wstring print_file = Env(L"Z4_E2E_PRINT");
  if (!printer || print_file.empty()) {
    ADD_FAILURE() << "no printer: " << why;
  } else {
    DeleteFileW(print_file.c_str());
    Click(graph, IDC_GRAPH_PRINT);
    HWND print_dialog = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
          for (HWND d : DialogsOf(s.utility.Id())) {
            if (d != graph && d != s.window && IsWindowVisible(d) && GetDlgItem(d, IDOK)) {
              print_dialog = d;
            }
          }
          return print_dialog != nullptr;
        },
        15000))
        << "no print dialog";
    PostMessageW(print_dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(print_dialog, IDOK)));
    EXPECT_TRUE(
        WaitFor([&] { return ReadBytes(print_file).find("%%EOF") != std::string::npos; }, 30000))
        << "nothing was printed";
  }

  // END: the board's level file goes with the window.
  Click(graph, IDC_GRAPH_END);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(graph); }, 10000));
  EXPECT_TRUE(WaitFor([] { return !Exists(L"E:\\Z4.CSV"); }, 10000));
  EXPECT_TRUE(WaitFor([&] { return ItemEnabled(s.window, IDC_EXECUTE); }, 10000));
  s.Close();
}

TEST(AdjustFeed, AContinuousFeedTestRunsUntilStop) {
  AdjustSession s;
  ASSERT_TRUE(s.Start(kEnglish));
  HWND w = s.window;
  Check(w, IDC_ITEM_FEED, true);
  ChooseRadio(w, IDC_FEED_CONTINUOUS, IDC_FEED_ONESHOT);
  Click(w, IDC_EXECUTE);
  ASSERT_TRUE(WaitFor([&] { return ItemEnabled(w, IDC_STOP); }, 10000));
  EXPECT_TRUE(Exists(L"E:\\Z4.JOB"));
  Sleep(3000);
  EXPECT_TRUE(ItemEnabled(w, IDC_STOP)) << "still running";
  EXPECT_FALSE(ItemEnabled(w, IDC_EXECUTE));
  EXPECT_FALSE(Exists(L"E:\\Z4JOB.END"));
  Click(w, IDC_STOP);
  EXPECT_TRUE(WaitFor([&] { return ItemEnabled(w, IDC_EXECUTE); }, 10000));
  EXPECT_FALSE(Exists(L"E:\\Z4.JOB"));
  EXPECT_NE(s.board.Journal().find("Repeat:Feed\r\n"), std::string::npos);
  s.Close();
}

TEST(AdjustJapanese, ThePanelAndTheGraphInJapanese) {
  AdjustSession s;
  ASSERT_TRUE(s.Start(kJapanese));
  HWND w = s.window;
  EXPECT_EQ(ItemText(w, IDC_PANEL_TITLE),
            L"\u30C6\u30B9\u30C8\u30FB\u62E1\u5F35\u30E2\u30FC\u30C9");
  EXPECT_EQ(ItemText(w, IDC_ITEM_WAVE), L"\u6CE2\u5F62\u89B3\u6E2C");
  EXPECT_EQ(ItemText(w, IDC_EXECUTE), L"\u5B9F\u884C");
  HWND graph = s.OpenGraph();
  ASSERT_NE(graph, nullptr);
  EXPECT_EQ(ItemText(graph, IDC_LEVEL_AXIS_10), L"255.0");
  EXPECT_EQ(ItemText(graph, IDC_GRAPH_END), L"END");
  Click(graph, IDC_GRAPH_END);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(graph); }, 10000));
  s.Close();
}

}  // namespace
}  // namespace z4::e2e
