#include "platform/win32/window_capture.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace z4::win32 {
namespace {

// A top-level window filled with one colour.
LRESULT CALLBACK SolidProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    HBRUSH brush =
        CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(window, GWLP_USERDATA)));
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, msg, wparam, lparam);
}

HWND SolidWindow(COLORREF colour, int x, int y, int w, int h) {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &SolidProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Z4CaptureTestSolid";
    return RegisterClassW(&wc) != 0;
  }();
  if (!registered) return nullptr;
  HWND window = CreateWindowExW(WS_EX_TOPMOST, L"Z4CaptureTestSolid", L"", WS_POPUP | WS_VISIBLE, x,
                                y, w, h, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);
  return window;
}

void Pump() {
  MSG msg;
  for (int i = 0; i < 20; ++i) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

TEST(WindowCaptureTest, TheWindowsOwnPixelsAndNeverThoseOfAWindowAboveIt) {
  HWND graph = SolidWindow(RGB(255, 0, 0), 100, 100, 200, 100);
  ASSERT_NE(graph, nullptr);
  Pump();
  // Fully visible: the window's own colour, and nothing beyond its client area.
  auto pixels = CaptureClientArea(graph, Rect{0, 0, 300, 100});
  ASSERT_EQ(pixels.size(), 300u * 100u);
  EXPECT_EQ(pixels[50 * 300 + 20], Rgb(255, 0, 0));
  EXPECT_EQ(pixels[50 * 300 + 199], Rgb(255, 0, 0));
  EXPECT_EQ(pixels[50 * 300 + 250], kInvalidColour) << "beyond the client area";

  // Another window over its right half.
  HWND cover = SolidWindow(RGB(0, 0, 255), 200, 80, 150, 150);
  ASSERT_NE(cover, nullptr);
  Pump();
  pixels = CaptureClientArea(graph, Rect{0, 0, 200, 100});
  EXPECT_EQ(pixels[50 * 200 + 20], Rgb(255, 0, 0)) << "the uncovered part";
  const Colour covered = pixels[50 * 200 + 150];
  EXPECT_NE(covered, Rgb(0, 0, 255)) << "never the other window's pixels";
  EXPECT_TRUE(covered == kInvalidColour || covered == Rgb(255, 0, 0));
  DestroyWindow(cover);
  DestroyWindow(graph);
}

}  // namespace
}  // namespace z4::win32
