#include "sim/disk_storage.h"

#include <algorithm>
#include <cctype>

#include "sim/disk_files.h"

namespace z4::sim {
namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Utf8Name(const std::filesystem::path& path) {
  const auto name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

}  // namespace

std::vector<std::string> DiskStorage::List() {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(root_, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code kind_error;
    if (it->is_regular_file(kind_error)) names.push_back(Utf8Name(it->path()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::filesystem::path DiskStorage::PathOf(const std::string& name) {
  const std::filesystem::path exact = root_ / std::filesystem::u8path(name);
  std::error_code error;
  if (std::filesystem::exists(exact, error)) return exact;
  for (const std::string& present : List()) {
    if (SameName(present, name)) return root_ / std::filesystem::u8path(present);
  }
  return exact;
}

bool DiskStorage::Exists(const std::string& name) {
  std::error_code error;
  return std::filesystem::is_regular_file(PathOf(name), error);
}

std::optional<std::string> DiskStorage::Read(const std::string& name) {
  return disk::ReadWhole(PathOf(name));
}

bool DiskStorage::Write(const std::string& name, const std::string& bytes) {
  return disk::ReplaceFile(PathOf(name), bytes);
}

bool DiskStorage::Remove(const std::string& name) {
  std::error_code error;
  return std::filesystem::remove(PathOf(name), error) && !error;
}

std::unique_ptr<HeldFile> DiskStorage::Hold(const std::string& name) {
  return disk::HoldExclusive(PathOf(name));
}

}  // namespace z4::sim
