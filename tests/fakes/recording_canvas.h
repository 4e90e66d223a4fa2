// A canvas that records what is drawn on it, and a print job on such a canvas.
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"

namespace z4::fakes {

struct DrawnLine {
  Point from;
  Point to;
  PenStyle style;
  int width;
  Colour colour;
};

struct DrawnText {
  int x;
  int y;
  std::string text;
};

class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(Rect area = {}) : area_(area) {}

  Rect Area() override { return area_; }
  void SelectPen(PenStyle style, int width, Colour colour) override;
  void RestorePen() override;
  void FillRect(const Rect& rect, Colour colour) override;
  void Line(Point from, Point to) override;
  void Text(int x, int y, const std::string& text) override;
  int LineHeight() override { return line_height; }

  int line_height = 16;
  std::vector<DrawnLine> lines;
  std::vector<DrawnText> texts;
  std::vector<std::pair<Rect, Colour>> fills;
  // Pens selected and not yet restored.
  int pens_selected() const { return static_cast<int>(pens_.size()); }
  // Lines drawn with a pen of this width.
  std::vector<DrawnLine> LinesOfWidth(int width) const;
  // The text drawn at (x, y), or "<none>".
  std::string TextAt(int x, int y) const;

 private:
  struct Pen {
    PenStyle style;
    int width;
    Colour colour;
  };
  Rect area_;
  std::vector<Pen> pens_;
};

class FakePrintJob : public PrintJob {
 public:
  explicit FakePrintJob(int orientation) : orientation_(orientation) {}
  int Orientation() override { return orientation_; }
  bool StartDocument() override { return Step("start document", fail_start_document); }
  bool StartPage() override { return Step("start page", fail_start_page); }
  Canvas& Page() override { return page; }
  bool EndPage() override { return Step("end page", fail_end_page); }
  bool EndDocument() override { return Step("end document", false); }
  void AbortDocument() override { steps.push_back("abort"); }

  RecordingCanvas page;
  std::vector<std::string> steps;
  bool fail_start_document = false;
  bool fail_start_page = false;
  bool fail_end_page = false;

 private:
  bool Step(const char* name, bool fail) {
    steps.push_back(name);
    return !fail;
  }
  int orientation_;
};

}  // namespace z4::fakes
