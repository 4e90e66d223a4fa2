#include "platform/win32/file_appender_win32.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/unicode.h"

namespace z4::win32 {

bool Win32FileAppender::Append(const std::string& path, const std::string& bytes) {
  // With append access only, the system puts every write at the end of the
  // file as one step, whoever else has it open for appending.
  UniqueFile file(CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  const bool ok =
      ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size() && FlushFileBuffers(file.get());
  return file.reset() && ok;
}

}  // namespace z4::win32
