// Plain files: POSIX systems have no share modes, so nothing here locks.
#ifndef _WIN32

#include <cstdio>
#include <fstream>
#include <iterator>

#include "sim/disk_files.h"

namespace z4::sim::disk {
namespace {

class OpenStream : public HeldFile {
 public:
  explicit OpenStream(const std::filesystem::path& path) : stream_(path, std::ios::binary) {}
  bool is_open() const { return stream_.is_open(); }

 private:
  std::ifstream stream_;
};

}  // namespace

std::optional<std::string> ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool WriteExclusive(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code error;
  std::filesystem::rename(from, to, error);
  return !error;
}

std::unique_ptr<HeldFile> HoldExclusive(const std::filesystem::path& path) {
  auto held = std::make_unique<OpenStream>(path);
  if (!held->is_open()) return nullptr;
  return held;
}

}  // namespace z4::sim::disk

#endif  // !_WIN32
