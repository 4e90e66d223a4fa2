#include "core/text_placement.h"

#include <algorithm>

namespace z4 {

Span CentredWithin(int centre, int length, const Span& bounds) {
  int first = centre - length / 2;
  if (bounds.last > bounds.first) {
    first = std::min(first, bounds.last - length);
    first = std::max(first, bounds.first);
  }
  return {first, first + length};
}

void PlaceLabelInGap(DialogView& view, int id) {
  const int height = view.TextSize(id, view.GetText(id)).height;
  if (height <= 0) return;
  const Rect gap = view.ControlRect(id);
  const Span rows =
      CentredWithin((gap.top + gap.bottom) / 2, height, Span{gap.top + 2, gap.bottom});
  view.MoveControl(id, Rect{gap.left, rows.first, gap.right, rows.last}, true);
}

}  // namespace z4
