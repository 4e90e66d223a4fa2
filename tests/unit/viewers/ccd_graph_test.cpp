#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_ui.h"
#include "res/resource_ids.h"
#include "viewers/ccd_graph_dlg.h"
#include "viewers/level_bitmap.h"
#include "viewers/level_data.h"
#include "viewers/level_labels.h"
#include "viewers/level_print.h"

namespace z4 {
namespace {

constexpr char kBoardCsv[] = "E:\\Z4.CSV";
constexpr char kLevelBmp[] = "C:\\Program Files\\Z4\\Level.bmp";

// "Z4.CSV" as the board writes it: black and maximum level, then the white
// levels ten to a line.
std::string LevelFile(const std::vector<int>& values, const std::string& max = "255") {
  std::string file =
      "BlackLevel:,012\r\nMaxLevel:," + max + "\r\nWhiteLevel:" + std::to_string(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0 && i % 10 == 0) file += "\r\n";
    file += "," + std::to_string(values[i]);
  }
  // A line with one value needs a comma after it: a field alone adds nothing.
  if (values.size() % 10 == 1) file += ",";
  return file + "\r\n;\r\n";
}

std::vector<int> Ramp(int count, int top) {
  std::vector<int> values;
  for (int i = 0; i < count; ++i) values.push_back(count > 1 ? i * top / (count - 1) : top);
  return values;
}

class CcdGraphTest : public ::testing::Test, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    SharedState::SetDeviceDrive("E");
    SharedState::SetDeviceFound(1);
    SharedState::SetLanguageFlag(1);
    files.AddDrive('E');
    files.AddDirectory("C:\\Program Files\\Z4");
    // The window as it lies on the screen: the plot frame's client area is
    // 935 x 498 pixels inside a one-pixel frame.
    ui.on_create = [](fakes::FakeDialog& d) {
      d.Control(IDC_GRAPH_FRAME).rect = Rect{100, 50, 1037, 550};
      d.drawing_areas[IDC_GRAPH_FRAME] = Rect{0, 0, 935, 498};
      for (int id = IDC_LEVEL_AXIS_0; id <= IDC_LEVEL_AXIS_10; ++id) {
        d.Control(id).rect = Rect{40, 0, 79, 21};
      }
      d.Control(IDC_LEVEL_AXIS_0).rect = Rect{40, 560, 79, 581};
      d.Control(IDC_SAMPLE_AXIS_0).rect = Rect{80, 580, 119, 601};
      for (int id = IDC_SAMPLE_AXIS_1; id <= IDC_SAMPLE_AXIS_10; ++id) {
        d.Control(id).rect = Rect{0, 580, 39, 601};
      }
    };
  }
  fakes::FakeDialog& Open(const std::string& csv) {
    files.AddFile(kBoardCsv, csv);
    return ui.Open(IDD_GRAPH, graph);
  }
  std::vector<std::string> Texts(fakes::FakeDialog& d, std::vector<int> ids) {
    std::vector<std::string> texts;
    for (int id : ids) texts.push_back(d.Control(id).text);
    return texts;
  }
  std::vector<std::string> VerticalTexts(fakes::FakeDialog& d) {
    std::vector<int> ids;
    for (int id = IDC_LEVEL_AXIS_0; id <= IDC_LEVEL_AXIS_10; ++id) ids.push_back(id);
    return Texts(d, ids);
  }
  std::vector<std::string> HorizontalTexts(fakes::FakeDialog& d) {
    std::vector<int> ids{IDC_SAMPLE_AXIS_0};
    for (int id = IDC_SAMPLE_AXIS_1; id <= IDC_SAMPLE_AXIS_10; ++id) ids.push_back(id);
    return Texts(d, ids);
  }

  CCcdGraphDlg graph{ports};
  fakes::FakeUi ui{clock};
};

using Texts = std::vector<std::string>;

struct LabelCase {
  std::string max;
  int samples;
  Texts vertical;
  Texts horizontal;
};

class CcdGraphLabelTest : public CcdGraphTest, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(CcdGraphLabelTest, AxisTexts) {
  auto& d = Open(LevelFile(Ramp(GetParam().samples, 100), GetParam().max));
  EXPECT_EQ(VerticalTexts(d), GetParam().vertical);
  EXPECT_EQ(HorizontalTexts(d), GetParam().horizontal);
  EXPECT_EQ(d.Control(IDC_BLACK_LEVEL).text, "BlackLevel:012");
}

INSTANTIATE_TEST_SUITE_P(
    Levels, CcdGraphLabelTest,
    ::testing::Values(
        LabelCase{
            "255",
            2000,
            {"0.0", "25.5", "51.0", "76.5", "102.0", "127.5", "153.0", "178.5", "204.0", "229.5",
             "255.0"},
            {"1", "200", "400", "600", "800", "1000", "1200", "1400", "1600", "1800", "2000"}},
        LabelCase{"999",
                  1728,
                  {"0.0", "99.9", "199.8", "299.7", "399.6", "499.5", "599.4", "699.3", "799.2",
                   "899.1", "999.0"},
                  {"1", "172", "345", "518", "691", "864", "1036", "1209", "1382", "1555", "1728"}},
        LabelCase{"000",
                  1,
                  {"0.0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1.0"},
                  {"1", "0", "0", "0", "0", "0", "0", "0", "0", "0", "1"}},
        LabelCase{"255",
                  7,
                  {"0.0", "25.5", "51.0", "76.5", "102.0", "127.5", "153.0", "178.5", "204.0",
                   "229.5", "255.0"},
                  {"1", "0", "1", "2", "2", "3", "4", "4", "5", "6", "7"}},
        LabelCase{
            "25",  // two digits before the CR: no maximum level (-1)
            10,
            {"0.0", "-0.1", "-0.2", "-0.3", "-0.4", "-0.5", "-0.6", "-0.7", "-0.8", "-0.9", "-1.0"},
            {"1", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}}));

TEST(LevelLabelTest, FormatAndParseBack) {
  EXPECT_EQ(FormatLevelLabel(25.5), "25.5");
  EXPECT_EQ(FormatLevelLabel(99.99), "99.9") << "cut, not rounded, after six decimals";
  EXPECT_EQ(FormatLevelLabel(0.3), "0.3");
  EXPECT_EQ(FormatLevelLabel(-1.0), "-1.0");
  EXPECT_DOUBLE_EQ(ParseLevelLabel("229.5"), 229.5);
  EXPECT_DOUBLE_EQ(ParseLevelLabel("255"), 255.0);
  EXPECT_DOUBLE_EQ(ParseLevelLabel("-1.0"), 0.0) << "a sign makes the whole part 0";
  EXPECT_DOUBLE_EQ(ParseLevelLabel("-0.7"), 0.7);
  EXPECT_DOUBLE_EQ(ParseLevelLabel(""), 0.0);
}

TEST_F(CcdGraphTest, GridLabelsAndCurveOnA935By498Frame) {
  std::vector<int> values = Ramp(1728, 200);
  values[100] = 255;  // the maximum level: 490 pixels above the bottom edge
  auto& d = Open(LevelFile(values));
  ASSERT_FALSE(d.canvases.empty());
  const auto& canvas = *d.canvases.back();

  ASSERT_EQ(canvas.fills.size(), 1u);
  EXPECT_EQ(canvas.fills[0].first, (Rect{0, 0, 935, 498}));
  EXPECT_EQ(canvas.fills[0].second, Rgb(255, 255, 255));
  const auto grid = canvas.LinesOfWidth(1);
  ASSERT_EQ(grid.size(), 20u);
  EXPECT_EQ(grid[0].from, (Point{0, 498 - 49}));
  EXPECT_EQ(grid[0].to, (Point{935, 498 - 49}));
  EXPECT_EQ(grid[9].from.y, 498 - 490);
  EXPECT_EQ(grid[10].from, (Point{93, 0}));
  EXPECT_EQ(grid[19].to, (Point{930, 498}));
  EXPECT_EQ(grid[0].colour, Rgb(128, 128, 128));

  const auto curve = canvas.LinesOfWidth(2);
  ASSERT_EQ(curve.size(), 1727u) << "one segment per pair of samples";
  EXPECT_EQ(curve[0].from, (Point{0, 498}));
  EXPECT_EQ(curve[99].to, (Point{static_cast<int>(100 * (930.0 / 1728)), 8}));
  EXPECT_LT(curve.back().to.x, 930);
  EXPECT_EQ(canvas.pens_selected(), 0) << "every pen is put back";

  // The labels sit on their grid lines: line k of the vertical axis is
  // centred k * 49 pixels above the frame's bottom edge.
  EXPECT_EQ(d.Control(IDC_LEVEL_AXIS_0 + 1).rect, (Rect{40, 550 - 49 - 10, 79, 550 - 49 + 10}));
  EXPECT_EQ(d.Control(IDC_SAMPLE_AXIS_1).rect, (Rect{100 + 93 - 19, 580, 100 + 93 + 19, 601}));
  EXPECT_EQ(d.Control(IDC_LEVEL_AXIS_0).moves, 0);
  EXPECT_EQ(d.Control(IDC_SAMPLE_AXIS_0).moves, 0);
}

TEST_F(CcdGraphTest, ASampleThatIsNoNumberIsDrawnOnTheTopEdge) {
  std::vector<int> values = Ramp(10, 100);
  std::string file = LevelFile(values);
  file.replace(file.find(",55"), 3, ",x5");  // sample 5 is kept as -1
  auto& d = Open(file);
  const auto curve = d.canvases.back()->LinesOfWidth(2);
  ASSERT_EQ(curve.size(), 9u);
  EXPECT_EQ(curve[4].to.y, 8) << "clipped to the top edge of the plot";
}

TEST_F(CcdGraphTest, NoMaximumLevelMeansLabelsButNoCurve) {
  auto& d = Open(LevelFile(Ramp(10, 100), "2x5"));
  EXPECT_EQ(graph.MaxLevel(), -1);
  EXPECT_EQ(d.Control(IDC_LEVEL_AXIS_10).text, "-1.0");
  EXPECT_EQ(d.canvases.back()->LinesOfWidth(1).size(), 20u);
  EXPECT_TRUE(d.canvases.back()->LinesOfWidth(2).empty());
}

TEST_F(CcdGraphTest, MaximumLevelZeroScalesTheCurveToOneAndKeepsItInThePlot) {
  auto& d = Open(LevelFile({0, 1, 50, 200}, "000"));
  EXPECT_EQ(d.Control(IDC_LEVEL_AXIS_10).text, "1.0");
  const auto curve = d.canvases.back()->LinesOfWidth(2);
  ASSERT_EQ(curve.size(), 3u);
  EXPECT_EQ(curve[0].from.y, 498);
  EXPECT_EQ(curve[0].to.y, 8) << "a level of 1 at the top line";
  EXPECT_EQ(curve[1].to.y, 8) << "levels above 1 on the top edge";
  EXPECT_EQ(curve[2].to.y, 8);
}

TEST_F(CcdGraphTest, NoSeriesMeansNoGridNoCurveAndBlankLabels) {
  auto& d = Open("MaxLevel:,255\r\n");
  EXPECT_TRUE(d.canvases.empty());
  EXPECT_EQ(d.Control(IDC_BLACK_LEVEL).text, "");
  EXPECT_EQ(d.Control(IDC_LEVEL_AXIS_10).text, "");
  ui.Paint();
  EXPECT_TRUE(d.canvases.empty()) << "a repaint draws nothing either";
}

TEST_F(CcdGraphTest, RepaintsDrawEverythingAgainWithoutTouchingTheBoard) {
  auto& d = Open(LevelFile(Ramp(2000, 255)));
  const int copies = files.CountOps("copy E:\\Z4.CSV");
  const int opens = files.CountOps("open E:");
  EXPECT_GE(copies, 1);
  for (int i = 0; i < 5; ++i) ui.Paint();
  EXPECT_EQ(files.CountOps("copy E:\\Z4.CSV"), copies);
  EXPECT_EQ(files.CountOps("open E:"), opens);
  ASSERT_EQ(d.canvases.size(), 7u) << "drawn when opened, when first painted and five times more";
  EXPECT_EQ(d.canvases.back()->LinesOfWidth(2).size(), 1999u);
  EXPECT_EQ(d.Control(IDC_LEVEL_AXIS_10).text, "255.0");
}

TEST_F(CcdGraphTest, TheWindowsTextsAndFontByLanguage) {
  SharedState::SetLanguageFlag(0);
  auto& d = Open(LevelFile(Ramp(10, 10)));
  EXPECT_EQ(d.Caption(), "");
  EXPECT_EQ(d.Control(IDC_GRAPH_SAVE).text, "Save");
  EXPECT_EQ(d.Control(IDC_GRAPH_PRINT).text, "PRINT");
  EXPECT_EQ(d.Control(IDC_GRAPH_END).text, "END");
  EXPECT_EQ(d.FontSize(), 90);
  EXPECT_EQ(d.FontFace(),
            "\xEF\xBC\xAD\xEF\xBC\xB3\xE3\x80\x80\xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7"
            "\xE3\x83\x83\xE3\x82\xAF");
  EXPECT_TRUE(d.WindowFontApplied());
  EXPECT_TRUE(d.Control(IDC_BLACK_LEVEL).text_font);
  EXPECT_TRUE(d.Control(IDC_SAMPLE_AXIS_10).text_font);
  EXPECT_EQ(d.Icon(), IDI_Z4UTILITY);
}

TEST_F(CcdGraphTest, ClosingByAnyMeansDeletesTheBoardsFile) {
  for (bool by_end : {true, false}) {
    Open(LevelFile(Ramp(10, 10)));
    if (by_end) {
      ui.Click(IDC_GRAPH_END);
    } else {
      ui.PressCancel();
    }
    ASSERT_TRUE(ui.RunUntilClosed(100));
    EXPECT_FALSE(files.Exists(kBoardCsv)) << (by_end ? "END" : "Escape");
  }
}

TEST_F(CcdGraphTest, SaveWritesTheCapturedClientRowsAsLevelBmp) {
  auto& d = Open(LevelFile(Ramp(10, 10)));
  // Pure red at client point (0, 540), the bottom-left pixel of the file;
  // green at (1099, 1), its top right; an invisible point at (1, 540).
  d.screen = [](int x, int y) -> Colour {
    if (x == 0 && y == 540) return Rgb(255, 0, 0);
    if (x == 1099 && y == 1) return Rgb(0, 255, 0);
    if (x == 1 && y == 540) return kInvalidColour;
    return Rgb(1, 2, 3);
  };
  ui.Click(IDC_GRAPH_SAVE);
  const auto bytes = files.Contents(kLevelBmp);
  ASSERT_TRUE(bytes.has_value());
  ASSERT_EQ(bytes->size(), 1782054u);
  EXPECT_EQ(bytes->substr(0, 2), "BM");
  auto u32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>((*bytes)[at]) |
                                      static_cast<unsigned char>((*bytes)[at + 1]) << 8 |
                                      static_cast<unsigned char>((*bytes)[at + 2]) << 16 |
                                      static_cast<unsigned char>((*bytes)[at + 3]) << 24);
  };
  EXPECT_EQ(u32(2), 1782054u);
  EXPECT_EQ(u32(10), 54u);
  EXPECT_EQ(u32(14), 40u);
  EXPECT_EQ(u32(18), 1100u);
  EXPECT_EQ(u32(22), 540u);
  EXPECT_EQ(u32(26), 1u | 24u << 16) << "one plane, 24 bits";
  for (std::size_t at = 30; at < 54; at += 4) EXPECT_EQ(u32(at), 0u) << at;
  EXPECT_EQ(bytes->substr(54, 3), std::string("\x00\x00\xFF", 3)) << "red as blue, green, red";
  EXPECT_EQ(bytes->substr(57, 3), "\xFF\xFF\xFF") << "an invisible point is white";
  EXPECT_EQ(bytes->substr(60, 3), std::string("\x03\x02\x01", 3));
  EXPECT_EQ(bytes->substr(bytes->size() - 3), std::string("\x00\xFF\x00", 3));
  EXPECT_EQ(d.captures, 1) << "one capture of the whole area";
  EXPECT_TRUE(d.Control(IDC_GRAPH_END).enabled);
  EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(CcdGraphTest, WhileTheBitmapIsWrittenTheButtonsAreOffAndTheCursorWaits) {
  auto& d = Open(LevelFile(Ramp(10, 10)));
  std::vector<bool> enabled;
  CursorShape cursor = CursorShape::Arrow;
  files.before_operation = [&](const std::string& op) {
    if (op.rfind("replace ", 0) != 0) return;
    for (int id : {IDC_GRAPH_END, IDC_GRAPH_PRINT, IDC_GRAPH_SAVE}) {
      enabled.push_back(d.Control(id).enabled);
    }
    cursor = ui.cursor;
  };
  ui.Click(IDC_GRAPH_SAVE);
  EXPECT_EQ(enabled, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(cursor, CursorShape::Wait);
  EXPECT_EQ(ui.cursor, CursorShape::Arrow);
  EXPECT_TRUE(d.Control(IDC_GRAPH_SAVE).enabled);
}

TEST_F(CcdGraphTest, ASaveThatFailsSaysSoKeepsTheOldFileAndGivesTheButtonsBack) {
  auto& d = Open(LevelFile(Ramp(10, 10)));
  files.AddFile(kLevelBmp, "old picture");
  files.SetReadOnly(kLevelBmp, true);
  ui.Click(IDC_GRAPH_SAVE);
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_NE(ui.Boxes()[0].text.find("Level.bmp"), std::string::npos);
  EXPECT_EQ(files.Contents(kLevelBmp), "old picture");
  EXPECT_EQ(files.List("C:\\Program Files\\Z4").size(), 2u) << "no temporary file is left";
  for (int id : {IDC_GRAPH_END, IDC_GRAPH_PRINT, IDC_GRAPH_SAVE}) {
    EXPECT_TRUE(d.Control(id).enabled) << id;
  }
  EXPECT_EQ(ui.cursor, CursorShape::Arrow);
}

// --- Printing

struct PageCase {
  int orientation;
  Point top_left;
  Point bottom_right;
};

class CcdGraphPrintTest : public CcdGraphTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(CcdGraphPrintTest, GridTextsAndCurveOnThePage) {
  const PageCase& c = GetParam();
  auto& d = Open(LevelFile(Ramp(1728, 255)));
  d.printer_orientation = c.orientation;
  ui.Click(IDC_GRAPH_PRINT);
  ASSERT_NE(d.last_print_job, nullptr);
  const auto& job = *d.last_print_job;
  EXPECT_EQ(job.steps,
            (std::vector<std::string>{"start document", "start page", "end page", "end document"}));
  const auto& page = job.page;
  const int l = c.top_left.x, t = c.top_left.y;

  const auto grid = page.LinesOfWidth(1);
  ASSERT_EQ(grid.size(), 22u);
  for (const auto& line : grid) EXPECT_EQ(line.style, PenStyle::Dot);
  EXPECT_EQ(grid[20].from, c.top_left);
  EXPECT_EQ(grid[20].to, (Point{l + 2000, t})) << "top edge";
  EXPECT_EQ(grid[21].to, (Point{l, t + 2000})) << "left edge";
  EXPECT_EQ(grid[9].to, c.bottom_right);
  EXPECT_EQ(grid[19].to, c.bottom_right);

  EXPECT_EQ(page.TextAt(10, 16), "Level.bmp");
  EXPECT_EQ(page.TextAt(10, 32), "BlackLevel:012");
  EXPECT_EQ(page.TextAt(l - 140, t - 20), "255.0");
  EXPECT_EQ(page.TextAt(l - 140, t + 2000 - 20), "0.0");
  EXPECT_EQ(page.TextAt(l - 10, t + 2020), "1");
  EXPECT_EQ(page.TextAt(l + 2000 - 40, t + 2020), "1728") << "four characters, 40 units left";
  EXPECT_EQ(page.TextAt(l + 200 - 30, t + 2020), "172");

  const auto curve = page.LinesOfWidth(3);
  ASSERT_EQ(curve.size(), 1727u);
  EXPECT_EQ(curve[0].from, (Point{l, t + 2000}));
  EXPECT_EQ(curve.back().to.y, t) << "the last sample is the maximum level";
  // x accumulates 2000 / 1728 once per sample.
  double x = l;
  for (int i = 0; i < 1000; ++i) x += 2000.0 / 1728;
  EXPECT_EQ(curve[999].to.x, static_cast<int>(x));
}

INSTANTIATE_TEST_SUITE_P(Orientations, CcdGraphPrintTest,
                         ::testing::Values(PageCase{1, {150, 800}, {2150, 2800}},
                                           PageCase{2, {800, 150}, {2800, 2150}}));

TEST_F(CcdGraphTest, ACancelledPrintDialogPrintsNothingAndARefusedPageIsAborted) {
  auto& d = Open(LevelFile(Ramp(10, 10)));
  d.printer_orientation = 0;
  ui.Click(IDC_GRAPH_PRINT);
  EXPECT_EQ(d.last_print_job, nullptr);
  EXPECT_TRUE(ui.print_jobs.empty());

  std::map<int, std::string> labels;
  for (bool at_start : {true, false}) {
    fakes::FakePrintJob refused(1);
    refused.fail_start_page = at_start;
    refused.fail_end_page = !at_start;
    EXPECT_FALSE(PrintLevelPage(refused, labels, Levels()));
    EXPECT_EQ(refused.steps.back(), "abort");
    EXPECT_EQ(std::count(refused.steps.begin(), refused.steps.end(), "end document"), 0);
  }
}

TEST(LevelPrintTest, OneSampleGivesGridAndTextsButNoCurve) {
  LevelSeries one;
  one.count = 1;
  one.values[0] = 5;
  fakes::RecordingCanvas page;
  std::map<int, std::string> labels{{IDC_LEVEL_AXIS_10, "255.0"}, {IDC_LEVEL_AXIS_0, "0.0"}};
  DrawPrintedGraph(page, 1, labels, one);
  EXPECT_EQ(page.LinesOfWidth(1).size(), 22u);
  EXPECT_TRUE(page.LinesOfWidth(3).empty());
  EXPECT_EQ(page.TextAt(10, 16), "Level.bmp");
}

TEST(LevelBitmapTest, RowsArePaddedWhenTheWidthNeedsIt) {
  const std::vector<Colour> rows(3 * 2, Rgb(9, 8, 7));
  const std::string bytes = EncodeLevelBitmap(rows, 3, 2);
  EXPECT_EQ(bytes.size(), 54u + 2 * 12);
  EXPECT_EQ(bytes.substr(54, 12), std::string("\x07\x08\x09\x07\x08\x09\x07\x08\x09\0\0\0", 12));
}

}  // namespace
}  // namespace z4
