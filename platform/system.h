// Process-wide services of the operating system that the program needs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace z4 {

struct OsVersion {
  unsigned major = 0;
  unsigned minor = 0;
};

class System {
 public:
  virtual ~System() = default;

  // The version the system reports to the program; nullopt when the query fails.
  virtual std::optional<OsVersion> Version() = 0;

  // Full path of the running program (UTF-8).
  virtual std::string ProgramPath() = 0;
  // The command line the program was started with, its own name first (UTF-8).
  virtual std::string CommandLine() = 0;

  // Turns off the system's "no disk in drive" style dialogs and returns the
  // previous mode, which RestoreErrorMode puts back.
  virtual unsigned SuppressDriveErrorDialogs() = 0;
  virtual void RestoreErrorMode(unsigned previous) = 0;

  // The user's local application data folder (on Windows 2000 and XP under
  // "Local Settings\Application Data", later "AppData\Local"); nullopt when the
  // system names none.
  virtual std::optional<std::string> LocalAppDataFolder() = 0;

  // Opens a document with the shell's "open" verb; the result is not reported.
  virtual void OpenDocument(const std::string& path) = 0;

  // Converts text in the system's ANSI code page to UTF-8, as the A functions
  // would show it.
  virtual std::string AnsiToUtf8(std::string_view bytes) = 0;
};

}  // namespace z4
