#include "platform/win32/file_appender_win32.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/unicode.h"

namespace z4::win32 {
namespace {

// How long an append waits for another program that is creating the file.
constexpr int kOpenAttempts = 50;
constexpr DWORD kOpenPauseMs = 20;

// A disk too full for the bytes gets none of them: a write that stopped part
// way would leave half a line, which a handle that may only append cannot
// take back.
bool Fits(const std::wstring& path, std::size_t bytes) {
  const std::wstring::size_type cut = path.find_last_of(L"\\/");
  const std::wstring folder = cut == std::wstring::npos ? L"." : path.substr(0, cut + 1);
  ULARGE_INTEGER free_bytes{};
  if (!GetDiskFreeSpaceExW(folder.c_str(), &free_bytes, nullptr, nullptr)) return true;
  // A cluster to spare: the file may need one more than its bytes.
  return free_bytes.QuadPart >= bytes + 65536;
}

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
  if (!Fits(wide, header.size() + bytes.size())) return false;
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
