// The System and Clock ports on the Win32 API.
#pragma once

#include "platform/clock.h"
#include "platform/system.h"
#include "platform/tick_count.h"

namespace z4::win32 {

class Win32System : public System {
 public:
  std::optional<OsVersion> Version() override;
  std::string ProgramPath() override;
  std::string CommandLine() override;
  unsigned SuppressDriveErrorDialogs() override;
  void RestoreErrorMode(unsigned previous) override;
  std::optional<std::string> LocalAppDataFolder() override;
  void OpenDocument(const std::string& path) override;
  std::string AnsiToUtf8(std::string_view bytes) override;
};

class Win32Clock : public Clock {
 public:
  void Pause(unsigned ms) override;
  std::int64_t NowMs() override;

 private:
  TickCount ticks_;
};

}  // namespace z4::win32
