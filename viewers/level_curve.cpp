#include "viewers/level_curve.h"

#include <algorithm>
#include <cstdint>

namespace z4 {
namespace {

// The height of a sample over the bottom of the plot, in whole units, kept
// inside the plot: a sample of -1 (huge when read as unsigned) lies on the top
// edge rather than far outside any coordinate the system can draw. One
// division, last: a sample at the top of the scale is exactly the plot's
// height whatever precision the FPU computes in (the 32-bit build's x87 keeps
// more digits than a double, and a scale factor divided out first left such a
// sample one unit short).
int Height(std::int32_t value, const LevelScale& scale, int plot_height) {
  const double level = static_cast<double>(static_cast<std::uint32_t>(value));
  const double height = (level - scale.bottom) * plot_height / (scale.top - scale.bottom);
  return static_cast<int>(std::clamp(height, 0.0, static_cast<double>(plot_height)));
}

bool Drawable(const LevelSeries& series, const LevelScale& scale) {
  return series.count > 0 && scale.top - scale.bottom != 0;
}

}  // namespace

std::vector<Point> ScreenCurve(const LevelSeries& series, const LevelScale& scale, int plot_width,
                               int plot_height, int bottom_edge) {
  std::vector<Point> points;
  if (!Drawable(series, scale)) return points;
  const double x_scale = plot_width / static_cast<double>(static_cast<unsigned>(series.count));
  points.reserve(static_cast<std::size_t>(series.count));
  for (int i = 0; i < series.count; ++i) {
    const int x = static_cast<int>(i * x_scale);
    const int y =
        bottom_edge - Height(series.values[static_cast<std::size_t>(i)], scale, plot_height);
    points.push_back(Point{x, y});
  }
  return points;
}

std::vector<Point> PrintedCurve(const LevelSeries& series, const LevelScale& scale, int w, int h,
                                int left, int top_edge) {
  std::vector<Point> points;
  if (!Drawable(series, scale)) return points;
  const double x_step = w / static_cast<double>(static_cast<unsigned>(series.count));
  double x = left;
  points.reserve(static_cast<std::size_t>(series.count));
  for (int i = 0; i < series.count; ++i) {
    if (i > 0) x += x_step;
    const int y = (h + top_edge) - Height(series.values[static_cast<std::size_t>(i)], scale, h);
    points.push_back(Point{static_cast<int>(x), y});
  }
  return points;
}

}  // namespace z4
