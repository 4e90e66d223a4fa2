#include "sim/capture_seed.h"

#include "sim/disk_files.h"
#include "sim/self_test.h"

namespace z4::sim {

std::string SeedCaptureFolder(BoardStorage& storage, const std::filesystem::path& source) {
  std::error_code error;
  if (!std::filesystem::is_directory(source, error)) return "no such folder";
  if (!storage.MakeFolder(kCaptureFolder)) {
    return "cannot create the folder " + std::string(kCaptureFolder);
  }
  for (std::filesystem::directory_iterator it(source, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code kind_error;
    if (!it->is_regular_file(kind_error)) continue;
    const auto utf8 = it->path().filename().u8string();
    const std::string name(utf8.begin(), utf8.end());
    const auto bytes = disk::ReadWhole(it->path());
    if (!bytes) return "cannot read " + name;
    if (!storage.Write(std::string(kCaptureFolder) + "\\" + name, *bytes)) {
      return "cannot write " + std::string(kCaptureFolder) + "\\" + name;
    }
  }
  if (error) return "cannot list the folder";
  return std::string();
}

}  // namespace z4::sim
