#include "platform/win32/gdi_canvas.h"

#include "platform/win32/unicode.h"

namespace z4::win32 {

GdiCanvas::~GdiCanvas() {
  while (!pens_.empty()) RestorePen();
}

void GdiCanvas::SelectPen(PenStyle style, int width, Colour colour) {
  UniqueGdiObject pen(CreatePen(style == PenStyle::Dot ? PS_DOT : PS_SOLID, width, colour));
  HGDIOBJ previous = pen ? SelectObject(dc_, pen.get()) : nullptr;
  pens_.push_back(SelectedPen{std::move(pen), previous});
}

void GdiCanvas::RestorePen() {
  if (pens_.empty()) return;
  // The pen is put back before it is deleted: a selected pen cannot be.
  if (pens_.back().previous) SelectObject(dc_, pens_.back().previous);
  pens_.pop_back();
}

void GdiCanvas::FillRect(const Rect& rect, Colour colour) {
  UniqueGdiObject brush(CreateSolidBrush(colour));
  const RECT r{rect.left, rect.top, rect.right, rect.bottom};
  if (brush) ::FillRect(dc_, &r, static_cast<HBRUSH>(brush.get()));
}

void GdiCanvas::Line(Point from, Point to) {
  MoveToEx(dc_, from.x, from.y, nullptr);
  LineTo(dc_, to.x, to.y);
}

void GdiCanvas::Text(int x, int y, const std::string& text) {
  const std::wstring wide = Widen(text);
  TextOutW(dc_, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

int GdiCanvas::LineHeight() {
  TEXTMETRICW metrics{};
  if (!GetTextMetricsW(dc_, &metrics)) return 0;
  return metrics.tmHeight + metrics.tmExternalLeading;
}

namespace {

HWND Painted(HWND control) {
  UpdateWindow(control);
  return control;
}

Rect ClientOf(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  return Rect{r.left, r.top, r.right, r.bottom};
}

}  // namespace

ControlCanvas::ControlCanvas(HWND control)
    : ClientDc(Painted(control)), GdiCanvas(ClientDc::get(), ClientOf(control)) {}

}  // namespace z4::win32
