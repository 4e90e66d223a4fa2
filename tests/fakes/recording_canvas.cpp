#include "fakes/recording_canvas.h"

namespace z4::fakes {

void RecordingCanvas::SelectPen(PenStyle style, int width, Colour colour) {
  pens_.push_back(Pen{style, width, colour});
}

void RecordingCanvas::RestorePen() {
  if (!pens_.empty()) pens_.pop_back();
}

void RecordingCanvas::FillRect(const Rect& rect, Colour colour) {
  fills.emplace_back(rect, colour);
}

void RecordingCanvas::Line(Point from, Point to) {
  // A line drawn without a pen of the program's own gets the default pen.
  const Pen pen = pens_.empty() ? Pen{PenStyle::Solid, 1, 0} : pens_.back();
  lines.push_back(DrawnLine{from, to, pen.style, pen.width, pen.colour});
}

void RecordingCanvas::Text(int x, int y, const std::string& text) {
  texts.push_back(DrawnText{x, y, text});
}

std::vector<DrawnLine> RecordingCanvas::LinesOfWidth(int width) const {
  std::vector<DrawnLine> found;
  for (const auto& line : lines) {
    if (line.width == width) found.push_back(line);
  }
  return found;
}

std::string RecordingCanvas::TextAt(int x, int y) const {
  for (const auto& t : texts) {
    if (t.x == x && t.y == y) return t.text;
  }
  return "<none>";
}

}  // namespace z4::fakes
