// The start-up trace of the shipped program: when the environment variable
// names a file, every mark becomes a line "phase elapsed-ms" in it, the time
// counted from the creation of the process. Without the variable nothing is
// opened and marks cost a test of one flag.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/startup_trace.h"
#include "platform/win32/handles.h"

namespace z4::win32 {

// The variable that asks for the trace; its value is the file to write.
inline constexpr wchar_t kStartupTraceVariable[] = L"Z4_STARTUP_TRACE";

class Win32StartupTrace final : public StartupTrace {
 public:
  explicit Win32StartupTrace(const wchar_t* variable = kStartupTraceVariable);

  void Mark(std::string_view phase) override;
  bool On() const { return static_cast<bool>(file_); }

 private:
  // Milliseconds from the creation of the process to now.
  double Elapsed() const;

  UniqueFile file_;
  // The process's age when the trace was made, and the performance counter
  // then: later marks add the counter's progress, which is finer than the
  // system time.
  double age_at_base_ms_ = 0;
  LARGE_INTEGER base_{};
  LARGE_INTEGER frequency_{};
};

}  // namespace z4::win32
