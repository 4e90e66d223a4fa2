// A substitute for the operating system's process services.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"

namespace z4::fakes {

class FakeSystem : public System {
 public:
  std::optional<OsVersion> version = OsVersion{5, 1};
  std::string program_path = "C:\\Program Files\\Z4\\Z4Utility.exe";
  std::string command_line = "\"C:\\Program Files\\Z4\\Z4Utility.exe\"";
  unsigned error_mode = 0;
  std::vector<std::string> opened_documents;
  std::optional<std::string> local_app_data = "C:\\Users\\service\\AppData\\Local";

  std::optional<OsVersion> Version() override { return version; }
  std::string ProgramPath() override { return program_path; }
  std::string CommandLine() override { return command_line; }
  unsigned SuppressDriveErrorDialogs() override {
    const unsigned previous = error_mode;
    error_mode = kQuietMode;
    return previous;
  }
  void RestoreErrorMode(unsigned previous) override { error_mode = previous; }
  std::optional<std::string> LocalAppDataFolder() override { return local_app_data; }
  void OpenDocument(const std::string& path) override { opened_documents.push_back(path); }
  // Bytes 0x80 and above are taken as Latin-1, so a conversion is visible in tests.
  std::string AnsiToUtf8(std::string_view bytes) override;

  static constexpr unsigned kQuietMode = 0x8001;
};

}  // namespace z4::fakes
