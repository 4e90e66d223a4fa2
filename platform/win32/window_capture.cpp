#include "platform/win32/window_capture.h"

#include <algorithm>

#include "platform/win32/gdi_canvas.h"
#include "platform/win32/handles.h"

namespace z4::win32 {
namespace {

// GetRandomRgn's selector for the visible region of a device context.
constexpr INT kSystemRegion = 4;

// Marks the points of `rect` (client coordinates of `window`) that the
// screen shows of the window's client area.
std::vector<char> VisiblePoints(HWND window, HDC dc, const Rect& rect) {
  const int w = rect.Width(), h = rect.Height();
  std::vector<char> visible(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
  UniqueGdiObject region(CreateRectRgn(0, 0, 0, 0));
  // The visible region comes in screen coordinates on the NT family.
  if (!region || GetRandomRgn(dc, static_cast<HRGN>(region.get()), kSystemRegion) != 1) {
    return visible;
  }
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  RECT client{};
  GetClientRect(window, &client);
  const DWORD size = GetRegionData(static_cast<HRGN>(region.get()), 0, nullptr);
  std::vector<char> data(size);
  auto* header = reinterpret_cast<RGNDATA*>(data.data());
  if (size == 0 || GetRegionData(static_cast<HRGN>(region.get()), size, header) != size) {
    return visible;
  }
  const auto* parts = reinterpret_cast<const RECT*>(header->Buffer);
  for (DWORD i = 0; i < header->rdh.nCount; ++i) {
    // Screen to client, then cut to the client area and the captured rectangle.
    const int left = std::max(
        {static_cast<int>(parts[i].left - origin.x), static_cast<int>(client.left), rect.left});
    const int right = std::min(
        {static_cast<int>(parts[i].right - origin.x), static_cast<int>(client.right), rect.right});
    const int top = std::max(
        {static_cast<int>(parts[i].top - origin.y), static_cast<int>(client.top), rect.top});
    const int bottom = std::min({static_cast<int>(parts[i].bottom - origin.y),
                                 static_cast<int>(client.bottom), rect.bottom});
    for (int y = top; y < bottom; ++y) {
      const std::size_t row = static_cast<std::size_t>(y - rect.top) * static_cast<std::size_t>(w);
      for (int x = left; x < right; ++x)
        visible[row + static_cast<std::size_t>(x - rect.left)] = true;
    }
  }
  return visible;
}

}  // namespace

std::vector<Colour> CaptureClientArea(HWND window, const Rect& rect) {
  const int w = rect.Width(), h = rect.Height();
  std::vector<Colour> pixels(
      static_cast<std::size_t>(std::max(w, 0)) * static_cast<std::size_t>(std::max(h, 0)),
      kInvalidColour);
  if (w <= 0 || h <= 0) return pixels;
  const ClientDc screen(window);
  if (!screen.get()) return pixels;
  const MemoryDc memory(screen.get());

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueGdiObject bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !memory.get() || !bits) return pixels;
  const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
  const bool copied = BitBlt(memory.get(), 0, 0, w, h, screen.get(), rect.left, rect.top, SRCCOPY);
  GdiFlush();
  SelectObject(memory.get(), previous);
  if (!copied) return pixels;

  const std::vector<char> visible = VisiblePoints(window, screen.get(), rect);
  const auto* source = static_cast<const std::uint32_t*>(bits);  // 0x00RRGGBB
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    if (!visible[i]) continue;
    const std::uint32_t p = source[i];
    pixels[i] = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
  }
  return pixels;
}

}  // namespace z4::win32
