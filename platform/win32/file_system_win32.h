// The FileSystem port on the Win32 W functions; paths are converted from UTF-8
// at the call.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace z4::win32 {

class Win32FileSystem : public FileSystem {
 public:
  std::unique_ptr<OpenFile> TryOpenExclusive(const std::string& path, FileError& error) override;
  DriveKind DriveType(const std::string& root) override;
  std::optional<std::string> VolumeName(const std::string& root) override;
  FileError TryCreateAndDelete(const std::string& path) override;
  bool CopyReplacing(const std::string& from, const std::string& to) override;
  bool Delete(const std::string& path) override;
  bool MakeDirectory(const std::string& path) override;
  bool RemoveEmptyDirectory(const std::string& path) override;
  std::optional<std::string> CurrentDirectory() override;
  bool EnterDirectory(const std::string& path) override;
  std::optional<std::vector<std::string>> FindFiles(const std::string& pattern) override;
  std::optional<std::vector<std::string>> FindRegularFiles(const std::string& pattern) override;
  SearchOutcome Search(const std::string& pattern) override;
  std::optional<FileStart> ReadFileStart(const std::string& path, std::size_t limit) override;
  std::string FullPath(const std::string& path) override;
  bool WriteNewFile(const std::string& path, const std::string& bytes) override;
  // Writes a temporary file beside the target, flushes it and moves it over the
  // target; the temporary is removed when any step fails.
  bool ReplaceFileContents(const std::string& path, const std::string& bytes) override;
  bool FlushFile(const std::string& path) override;
};

}  // namespace z4::win32
