// Where the CCD level curve's points lie, on screen and on paper.
#pragma once

#include <vector>

#include "platform/geometry.h"
#include "viewers/level_data.h"

namespace z4 {

// The vertical scale as the axis texts show it: the top and bottom levels
// read back from the labels.
struct LevelScale {
  double top = 0;
  double bottom = 0;
};

// Screen: sample i at x = i * (plot_width / count), y = bottom_edge minus the
// level's height over the bottom level. Samples are read as unsigned numbers.
// No points when the scale has no range (nothing could be placed) or there is
// no series; a level above the top of the plot is drawn on its top edge.
std::vector<Point> ScreenCurve(const LevelSeries& series, const LevelScale& scale, int plot_width,
                               int plot_height, int bottom_edge);

// Paper: the same heights over the grid of height `h` whose top edge is at
// `top_edge`, and x starting at `left` with the step w / count added once per
// sample.
std::vector<Point> PrintedCurve(const LevelSeries& series, const LevelScale& scale, int w, int h,
                                int left, int top_edge);

}  // namespace z4
