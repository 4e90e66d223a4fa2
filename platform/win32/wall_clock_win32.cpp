#include "platform/win32/wall_clock_win32.h"

#include <windows.h>

namespace z4::win32 {

LocalTime Win32WallClock::Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace z4::win32
