// Files through CreateFileW, so that the share modes are the ones a Windows
// program beside the board runs into: a file the board writes or holds is
// opened with no sharing, and the board reads only files nobody is writing.
#ifdef _WIN32

#include <algorithm>

#include "platform/win32/handles.h"
#include "sim/disk_files.h"

namespace z4::sim::disk {
namespace {

using win32::UniqueFile;

class OpenHandle : public HeldFile {
 public:
  explicit OpenHandle(UniqueFile handle) : handle_(std::move(handle)) {}

 private:
  UniqueFile handle_;
};

UniqueFile Open(const std::filesystem::path& path, DWORD access, DWORD share, DWORD creation) {
  return UniqueFile(CreateFileW(path.wstring().c_str(), access, share, nullptr, creation,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

std::optional<std::string> ReadWhole(const std::filesystem::path& path) {
  // Sharing read and delete but not write: a file someone is still writing
  // cannot be opened, and the PC can still delete the file while it is read.
  UniqueFile file = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
    if (got == 0) return bytes;
    bytes.append(buffer, got);
  }
}

bool WriteExclusive(const std::filesystem::path& path, const std::string& bytes) {
  UniqueFile file = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  if (!file) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    if (!WriteFile(file.get(), bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) {
      return false;
    }
    done += wrote;
  }
  return true;
}

bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  return MoveFileExW(from.wstring().c_str(), to.wstring().c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::unique_ptr<HeldFile> HoldExclusive(const std::filesystem::path& path) {
  UniqueFile file = Open(path, GENERIC_READ, 0, OPEN_EXISTING);
  if (!file) return nullptr;
  return std::make_unique<OpenHandle>(std::move(file));
}

}  // namespace z4::sim::disk

#endif  // _WIN32
