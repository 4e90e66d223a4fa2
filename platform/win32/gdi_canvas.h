// The Canvas port on a GDI device context: a control's client area on the
// screen, or a printer's page.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/canvas.h"
#include "platform/win32/handles.h"

namespace z4::win32 {

class GdiCanvas : public Canvas {
 public:
  // Draws on `dc`, whose drawing area is `area`. The canvas does not own the
  // device context; it puts back every pen it selected.
  GdiCanvas(HDC dc, Rect area) : dc_(dc), area_(area) {}
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  Rect Area() override { return area_; }
  void SelectPen(PenStyle style, int width, Colour colour) override;
  void RestorePen() override;
  void FillRect(const Rect& rect, Colour colour) override;
  void Line(Point from, Point to) override;
  void Text(int x, int y, const std::string& text) override;
  int LineHeight() override;

 private:
  struct SelectedPen {
    UniqueGdiObject pen;
    HGDIOBJ previous;
  };
  HDC dc_;
  Rect area_;
  std::vector<SelectedPen> pens_;
};

// A control's client area, drawn on after the control has painted itself
// (so that nothing the control draws later covers it).
class ControlCanvas : private ClientDc, public GdiCanvas {
 public:
  explicit ControlCanvas(HWND control);
};

}  // namespace z4::win32
