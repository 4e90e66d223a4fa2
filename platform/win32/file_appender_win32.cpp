#include "platform/win32/file_appender_win32.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/unicode.h"

namespace z4::win32 {
namespace {

// How long an append waits for another program that is creating the file.
constexpr int kOpenAttempts = 50;
constexpr DWORD kOpenPauseMs = 20;

bool WriteAll(UniqueFile& file, const std::string& bytes) {
  DWORD written = 0;
  const bool ok =
      ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size() && FlushFileBuffers(file.get());
  return file.reset() && ok;
}

}  // namespace

bool Win32FileAppender::Append(const std::string& path, const std::string& bytes,
                               const std::string& header) {
  const std::wstring wide = Widen(path);
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    // The call that creates the file keeps it to itself until its header and
    // bytes are in: no other append can come between them.
    UniqueFile created(CreateFileW(wide.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (created) return WriteAll(created, header + bytes);
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
    // With append access only, the system puts every write at the end of the
    // file as one step, whoever else has it open for appending.
    UniqueFile file(CreateFileW(wide.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return WriteAll(file, bytes);
    // Deleted meanwhile: created again. Held by its creator: a moment later.
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION) {
      Sleep(kOpenPauseMs);
    } else if (error != ERROR_FILE_NOT_FOUND) {
      return false;
    }
  }
  return false;
}

}  // namespace z4::win32
