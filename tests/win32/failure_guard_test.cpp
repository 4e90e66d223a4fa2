#include "platform/win32/failure_guard.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <new>
#include <thread>

namespace z4::win32 {
namespace {

constexpr wchar_t kCaption[] = L"Z4 failure guard test";

std::atomic<int> g_nested{0};

// A timer that fails while the first failure's message box is up.
void CALLBACK FailAgain(HWND, UINT, UINT_PTR, DWORD) {
  g_nested += Guarded(
      nullptr, []() -> int { throw std::bad_alloc(); }, 1);
}

BOOL CALLBACK CountBoxes(HWND window, LPARAM count) {
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  if (IsWindowVisible(window) && lstrcmpW(caption, kCaption) == 0) {
    ++*reinterpret_cast<int*>(count);
  }
  return TRUE;
}

TEST(FailureGuardTest, AThrowingHandlerIsReportedInOneBoxAndAnsweredAsFailed) {
  SetFailureMessage("Out of memory (test)", "Z4 failure guard test");
  EXPECT_EQ(Guarded(
                nullptr, [] { return 5; }, 0),
            5)
      << "no failure, no box";
  g_nested = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, &FailAgain);
  std::atomic<int> most_boxes{0};
  std::thread closer([&] {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < until) {
      int boxes = 0;
      EnumWindows(&CountBoxes, reinterpret_cast<LPARAM>(&boxes));
      if (boxes > most_boxes) most_boxes = boxes;
      if (boxes > 0 && g_nested >= 3) {
        if (HWND box = FindWindowW(L"#32770", kCaption)) {
          PostMessageW(box, WM_COMMAND, IDOK, 0);
          return;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  const int result = Guarded(
      nullptr, []() -> int { throw std::bad_alloc(); }, 7);
  KillTimer(nullptr, timer);
  closer.join();
  EXPECT_EQ(result, 7);
  EXPECT_GE(g_nested.load(), 3) << "failures while the box was up were answered too";
  EXPECT_EQ(most_boxes.load(), 1) << "but with no second box";
}

}  // namespace
}  // namespace z4::win32
