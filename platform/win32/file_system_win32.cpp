#include "platform/win32/file_system_win32.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/win32/handles.h"
#include "platform/win32/unicode.h"

namespace z4::win32 {
namespace {

class Win32OpenFile : public OpenFile {
 public:
  explicit Win32OpenFile(UniqueFile file) : file_(std::move(file)) {}

 private:
  UniqueFile file_;
};

UniqueFile Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                DWORD flags) {
  return UniqueFile(CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr));
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

// Writes the bytes, flushes them to the disk and closes the file; false when
// any of the three fails.
bool WriteFlushClose(UniqueFile file, const std::string& bytes) {
  const bool written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  return file.reset() && written;
}

// The folder part of a path, with its trailing backslash ("E:\" for "E:\Z4.INI").
std::wstring FolderOf(const std::wstring& path) {
  const auto cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring(L".\\") : path.substr(0, cut + 1);
}

}  // namespace

namespace {

FileError ErrorOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return FileError::NotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_NOT_READY:
    case ERROR_INVALID_DRIVE:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_BAD_NETPATH:
      return FileError::Gone;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return FileError::InUse;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return FileError::Denied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return FileError::Exists;
    default:
      return FileError::Other;
  }
}

// Roots are passed as "E:\"; a bare "E:" is completed.
std::wstring RootOf(const std::string& root) {
  std::wstring wide = Widen(root);
  if (wide.empty() || wide.back() != L'\\') wide += L'\\';
  return wide;
}

}  // namespace

std::unique_ptr<OpenFile> Win32FileSystem::TryOpenExclusive(const std::string& path,
                                                            FileError& error) {
  UniqueFile file = Open(Widen(path), GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, 0);
  if (!file) {
    error = ErrorOf(GetLastError());
    return nullptr;
  }
  error = FileError::None;
  return std::make_unique<Win32OpenFile>(std::move(file));
}

FileError Win32FileSystem::TryCreateAndDelete(const std::string& path) {
  // CREATE_NEW never touches a file that is there; the right to delete is
  // asked for at once, so that a folder where files can be made but not
  // removed (some shares) is refused here and not on the first clean-up.
  UniqueFile file = Open(Widen(path), GENERIC_WRITE | DELETE, 0, CREATE_NEW,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
  return file ? FileError::None : ErrorOf(GetLastError());
}

DriveKind Win32FileSystem::DriveType(const std::string& root) {
  switch (GetDriveTypeW(RootOf(root).c_str())) {
    case DRIVE_NO_ROOT_DIR:
      return DriveKind::NoRoot;
    case DRIVE_REMOVABLE:
      return DriveKind::Removable;
    case DRIVE_FIXED:
      return DriveKind::Fixed;
    case DRIVE_REMOTE:
      return DriveKind::Remote;
    case DRIVE_CDROM:
      return DriveKind::CdRom;
    case DRIVE_RAMDISK:
      return DriveKind::RamDisk;
    default:
      return DriveKind::Unknown;
  }
}

std::optional<std::string> Win32FileSystem::VolumeName(const std::string& root) {
  // A volume name is at most 50 characters; the call fails for drives that
  // are not volumes of this machine (subst, network) and for a removable
  // drive without a medium.
  wchar_t name[MAX_PATH] = {};
  if (!GetVolumeNameForVolumeMountPointW(RootOf(root).c_str(), name, MAX_PATH)) {
    return std::nullopt;
  }
  return Narrow(name);
}

bool Win32FileSystem::CopyReplacing(const std::string& from, const std::string& to) {
  return CopyFileW(Widen(from).c_str(), Widen(to).c_str(), FALSE) != 0;
}

bool Win32FileSystem::Delete(const std::string& path) {
  return DeleteFileW(Widen(path).c_str()) != 0;
}

bool Win32FileSystem::MakeDirectory(const std::string& path) {
  return CreateDirectoryW(Widen(path).c_str(), nullptr) != 0;
}

bool Win32FileSystem::RemoveEmptyDirectory(const std::string& path) {
  return RemoveDirectoryW(Widen(path).c_str()) != 0;
}

std::optional<std::string> Win32FileSystem::CurrentDirectory() {
  // The directory can change between the two calls; try again when it grew.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return std::nullopt;
    std::wstring buffer(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, buffer.data());
    if (length == 0) return std::nullopt;
    if (length < size) {
      buffer.resize(length);
      return Narrow(buffer);
    }
  }
  return std::nullopt;
}

bool Win32FileSystem::EnterDirectory(const std::string& path) {
  return SetCurrentDirectoryW(Widen(path).c_str()) != 0;
}

namespace {

// The names a search finds; folders among them only when `folders` is set.
std::optional<std::vector<std::string>> Find(const std::string& pattern, bool folders) {
  WIN32_FIND_DATAW data{};
  UniqueFind find(FindFirstFileW(Widen(pattern).c_str(), &data));
  if (!find) return std::nullopt;
  std::vector<std::string> names;
  do {
    if (folders || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      names.push_back(Narrow(data.cFileName));
    }
  } while (FindNextFileW(find.get(), &data));
  return names;
}

}  // namespace

std::optional<std::vector<std::string>> Win32FileSystem::FindFiles(const std::string& pattern) {
  return Find(pattern, true);
}

std::optional<std::vector<std::string>> Win32FileSystem::FindRegularFiles(
    const std::string& pattern) {
  return Find(pattern, false);
}

SearchOutcome Win32FileSystem::Search(const std::string& pattern) {
  WIN32_FIND_DATAW data{};
  const HANDLE found = FindFirstFileW(Widen(pattern).c_str(), &data);
  const DWORD error = GetLastError();
  if (UniqueFind(found)) return SearchOutcome::Found;
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_NO_MORE_FILES:
      return SearchOutcome::NothingThere;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_NOT_READY:
    case ERROR_INVALID_DRIVE:
    case ERROR_DEVICE_NOT_CONNECTED:
      return SearchOutcome::PlaceGone;
    default:
      return SearchOutcome::Failed;
  }
}

std::optional<FileStart> Win32FileSystem::ReadFileStart(const std::string& path,
                                                        std::size_t limit) {
  // Readers may share; a file someone is writing cannot be opened.
  UniqueFile file =
      Open(Widen(path), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!file) return std::nullopt;
  FileStart start;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
    const auto expected = static_cast<unsigned long long>(size.QuadPart);
    start.bytes.reserve(static_cast<std::size_t>(std::min<unsigned long long>(expected, limit)));
  }
  char buffer[64 * 1024];
  for (;;) {
    // One byte beyond the limit tells whether the file goes on.
    const std::size_t room = limit - start.bytes.size();
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, room) +
                                           (room < sizeof buffer ? 1 : 0));
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, wanted, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    if (got > room) {
      start.bytes.append(buffer, room);
      start.whole = false;
      break;
    }
    start.bytes.append(buffer, got);
  }
  return start;
}

std::string Win32FileSystem::FullPath(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return Narrow(full);
}

bool Win32FileSystem::WriteNewFile(const std::string& path, const std::string& bytes) {
  UniqueFile file = Open(Widen(path), GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
  if (!file) return false;
  return WriteFlushClose(std::move(file), bytes);
}

bool Win32FileSystem::ReplaceFileContents(const std::string& path, const std::string& bytes) {
  const std::wstring target = Widen(path);
  wchar_t temporary[MAX_PATH];
  // Beside the target, so that the move is a rename on the same volume.
  if (GetTempFileNameW(FolderOf(target).c_str(), L"z4", 0, temporary) == 0) return false;
  UniqueFile file = Open(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
  const bool replaced =
      file && WriteFlushClose(std::move(file), bytes) &&
      MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!replaced) DeleteFileW(temporary);
  return replaced;
}

bool Win32FileSystem::FlushFile(const std::string& path) {
  // Shared, so that the flush locks nobody out of a file just handed over.
  UniqueFile file = Open(Widen(path), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!file) return false;
  const bool flushed = FlushFileBuffers(file.get()) != 0;
  return file.reset() && flushed;
}

}  // namespace z4::win32
