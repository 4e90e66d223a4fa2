// The CCD level graph on paper: a dotted 11 x 11 line grid 2000 units square,
// the axis texts as the window shows them, the title "Level.bmp" with the
// black level under it, and the curve, all in printer device units.
#pragma once

#include <map>
#include <string>

#include "platform/canvas.h"
#include "viewers/level_data.h"

namespace z4 {

// Where the grid lies on the page for an orientation (1 portrait, else landscape).
struct PageGeometry {
  int width = 2000;   // W
  int height = 2000;  // H
  int left = 0;       // L
  int top = 0;        // T
};
PageGeometry PageFor(int orientation);

// Draws grid, texts and curve on a started page. `labels` are the graph
// window's label texts by control id.
void DrawPrintedGraph(Canvas& page, int orientation, const std::map<int, std::string>& labels,
                      const LevelSeries& series);

// One document of one page; a step the printer refuses aborts the document.
// True when the page was printed.
bool PrintLevelPage(PrintJob& job, const std::map<int, std::string>& labels,
                    const LevelSeries& series);

}  // namespace z4
