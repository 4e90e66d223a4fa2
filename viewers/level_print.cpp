#include "viewers/level_print.h"

#include "core/utf8_length.h"
#include "res/resource_ids.h"
#include "viewers/level_curve.h"
#include "viewers/level_labels.h"

namespace z4 {
namespace {

constexpr int kPortrait = 1;
constexpr Colour kBlack = Rgb(0, 0, 0);

const std::string& Label(const std::map<int, std::string>& labels, int id) {
  static const std::string kEmpty;
  const auto it = labels.find(id);
  return it == labels.end() ? kEmpty : it->second;
}

}  // namespace

PageGeometry PageFor(int orientation) {
  PageGeometry g;
  g.left = orientation == kPortrait ? 150 : 800;
  g.top = orientation == kPortrait ? 800 : 150;
  return g;
}

void DrawPrintedGraph(Canvas& page, int orientation, const std::map<int, std::string>& labels,
                      const LevelSeries& series) {
  const PageGeometry g = PageFor(orientation);
  const int step_x = g.width / 10;
  const int step_y = g.height / 10;
  page.SelectPen(PenStyle::Dot, 1, kBlack);
  for (int k = 1; k <= 10; ++k) {
    page.Line({g.left, g.top + k * step_y}, {g.left + g.width, g.top + k * step_y});
  }
  for (int k = 1; k <= 10; ++k) {
    page.Line({g.left + k * step_x, g.top}, {g.left + k * step_x, g.top + g.height});
  }
  page.Line({g.left, g.top}, {g.left + g.width, g.top});
  page.Line({g.left, g.top}, {g.left, g.top + g.height});
  page.RestorePen();

  const int line_height = page.LineHeight();
  page.Text(10, line_height, "Level.bmp");
  page.Text(10, 2 * line_height, Label(labels, IDC_BLACK_LEVEL));

  page.Text(g.left - 140, g.top - 20, Label(labels, IDC_LEVEL_AXIS_10));
  for (int k = 1; k <= 10; ++k) {
    page.Text(g.left - 140, g.top + k * step_y - 20, Label(labels, IDC_LEVEL_AXIS_10 - k));
  }
  const int y = g.top + g.height + 20;
  const std::string& first = Label(labels, IDC_SAMPLE_AXIS_0);
  page.Text(g.left - 10 * static_cast<int>(Utf8Length(first)), y, first);
  for (int k = 1; k <= 10; ++k) {
    const std::string& text = Label(labels, IDC_SAMPLE_AXIS_1 - 1 + k);
    page.Text(g.left + k * step_x - 10 * static_cast<int>(Utf8Length(text)), y, text);
  }

  page.SelectPen(PenStyle::Solid, 3, kBlack);
  const LevelScale scale{ParseLevelLabel(Label(labels, IDC_LEVEL_AXIS_10)),
                         ParseLevelLabel(Label(labels, IDC_LEVEL_AXIS_0))};
  const auto points = PrintedCurve(series, scale, g.width, g.height, g.left, g.top);
  for (std::size_t i = 1; i < points.size(); ++i) page.Line(points[i - 1], points[i]);
  page.RestorePen();
}

bool PrintLevelPage(PrintJob& job, const std::map<int, std::string>& labels,
                    const LevelSeries& series) {
  if (!job.StartDocument()) return false;
  if (!job.StartPage()) {
    job.AbortDocument();
    return false;
  }
  DrawPrintedGraph(job.Page(), job.Orientation(), labels, series);
  if (!job.EndPage()) {
    job.AbortDocument();
    return false;
  }
  return job.EndDocument();
}

}  // namespace z4
