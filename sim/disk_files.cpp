#include "sim/disk_files.h"

#include <fstream>

namespace z4::sim::disk {

bool ReplaceFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::path temporary = path;
  temporary += ".z4sim-tmp";
  if (WriteExclusive(temporary, bytes) && RenameOver(temporary, path)) return true;
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  return false;
}

bool AppendToFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace z4::sim::disk
