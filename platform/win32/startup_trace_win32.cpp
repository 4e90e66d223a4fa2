#include "platform/win32/startup_trace_win32.h"

#include <cstdio>
#include <string>
#include <vector>

namespace z4::win32 {
namespace {

double FileTimeMs(const FILETIME& t) {
  ULARGE_INTEGER v;
  v.LowPart = t.dwLowDateTime;
  v.HighPart = t.dwHighDateTime;
  return static_cast<double>(v.QuadPart) / 10000.0;  // 100 ns units
}

// The process's age in milliseconds, from its creation time; 0 when the
// system does not tell.
double ProcessAgeMs() {
  FILETIME created{}, exited{}, kernel{}, user{}, now{};
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  GetSystemTimeAsFileTime(&now);
  const double age = FileTimeMs(now) - FileTimeMs(created);
  return age > 0 ? age : 0;
}

}  // namespace

Win32StartupTrace::Win32StartupTrace(const wchar_t* variable) {
  const DWORD length = GetEnvironmentVariableW(variable, nullptr, 0);
  if (length <= 1) return;
  std::vector<wchar_t> path(length);
  if (GetEnvironmentVariableW(variable, path.data(), length) != length - 1) return;
  QueryPerformanceFrequency(&frequency_);
  QueryPerformanceCounter(&base_);
  age_at_base_ms_ = ProcessAgeMs();
  HANDLE file = CreateFileW(path.data(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) file_.reset(file);
}

double Win32StartupTrace::Elapsed() const {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  if (frequency_.QuadPart <= 0) return age_at_base_ms_;
  return age_at_base_ms_ + 1000.0 * static_cast<double>(now.QuadPart - base_.QuadPart) /
                               static_cast<double>(frequency_.QuadPart);
}

void Win32StartupTrace::Mark(std::string_view phase) {
  if (!file_) return;
  char number[32];
  std::snprintf(number, sizeof(number), " %.1f\r\n", Elapsed());
  const std::string line = std::string(phase) + number;
  DWORD written = 0;
  WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace z4::win32
