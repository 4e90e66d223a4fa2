// Drawing on a window's control, on a printed page or in memory: pens, lines,
// solid fills, text and its metrics, pixel reads. Coordinates are the
// surface's own units (pixels on screen, device units on paper).
#pragma once

#include <cstdint>
#include <string>

#include "platform/geometry.h"

namespace z4 {

// A colour in the 0x00BBGGRR form of the system.
using Colour = std::uint32_t;
constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) {
  return (b << 16) | (g << 8) | r;
}
// What a pixel read gives for a point that is not visible.
constexpr Colour kInvalidColour = 0xFFFFFFFFu;

enum class PenStyle { Solid, Dot };

class Canvas {
 public:
  virtual ~Canvas() = default;
  // The drawing area: the client rectangle of the control drawn on.
  virtual Rect Area() = 0;
  // Selects a new pen until RestorePen puts back the one before it.
  virtual void SelectPen(PenStyle style, int width, Colour colour) = 0;
  virtual void RestorePen() = 0;
  virtual void FillRect(const Rect& rect, Colour colour) = 0;
  // A line from `from` to `to` with the current pen (the end point not drawn).
  virtual void Line(Point from, Point to) = 0;
  // Text with its top left corner at (x, y), in the current font.
  virtual void Text(int x, int y, const std::string& text) = 0;
  // Height plus external leading of the current font.
  virtual int LineHeight() = 0;
};

// A print job on the printer the user chose, one document at a time.
class PrintJob {
 public:
  virtual ~PrintJob() = default;
  // The chosen paper orientation: 1 portrait, 2 landscape.
  virtual int Orientation() = 0;
  virtual bool StartDocument() = 0;
  virtual bool StartPage() = 0;
  virtual Canvas& Page() = 0;
  virtual bool EndPage() = 0;
  virtual bool EndDocument() = 0;
  // Throws away a document that could not be finished.
  virtual void AbortDocument() = 0;
};

}  // namespace z4
