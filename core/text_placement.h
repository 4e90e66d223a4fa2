// Texts the program places itself, in pixels, from what they take at the
// running scale in their own font: dialog units scale with the window's font,
// but a text in another font (the text table's) does not follow them exactly.
#pragma once

#include "platform/dialog_view.h"

namespace z4 {

// A stretch of pixels on one axis, from `first` up to (not including) `last`.
struct Span {
  int first = 0;
  int last = 0;
  bool operator==(const Span& o) const { return first == o.first && last == o.last; }
};

// `length` pixels centred on `centre`, moved as little as needed to lie within
// `bounds`; one longer than `bounds` starts at its first pixel. An empty
// `bounds` holds nothing back.
Span CentredWithin(int centre, int length, const Span& bounds);

// A label whose rectangle in the resource is the whole gap between a group box
// above it and one below: made as tall as its text and centred in the gap, at
// least two pixels below the gap's top (the box above draws its line down to
// its bottom edge, which rounding to pixels may put one pixel lower than the
// gap's top). Where the view cannot measure the text the label stays as it is.
void PlaceLabelInGap(DialogView& view, int id);

}  // namespace z4
