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

// A window's device context for its client area, released with the object.
class ClientDc {
 public:
  explicit ClientDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ClientDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  ClientDc(const ClientDc&) = delete;
  ClientDc& operator=(const ClientDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory device context, deleted with the object.
class MemoryDc {
 public:
  explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A control's client area, drawn on after the control has painted itself
// (so that nothing the control draws later covers it).
class ControlCanvas : private ClientDc, public GdiCanvas {
 public:
  explicit ControlCanvas(HWND control);
};

}  // namespace z4::win32
