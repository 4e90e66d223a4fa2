#include "sim/disk_storage.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "sim/disk_files.h"

namespace z4::sim {
namespace {

namespace fs = std::filesystem;

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Utf8Name(const fs::path& path) {
  const auto name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

// "QXR\MB000001.png" as its folder and file name; a root file has no folder.
std::pair<std::string, std::string> SplitName(const std::string& name) {
  const auto cut = name.find_first_of("\\/");
  if (cut == std::string::npos) return {std::string(), name};
  return {name.substr(0, cut), name.substr(cut + 1)};
}

// The entry of `folder` called `name` in any case, or folder/name when there is none.
fs::path Find(const fs::path& folder, const std::string& name) {
  fs::path exact = folder / fs::u8path(name);
  std::error_code error;
  if (fs::exists(exact, error)) return exact;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (SameName(Utf8Name(it->path()), name)) return it->path();
  }
  return exact;
}

std::vector<std::string> FileNames(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind_error;
    if (it->is_regular_file(kind_error)) names.push_back(Utf8Name(it->path()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::vector<std::string> DiskStorage::List() {
  return FileNames(root_);
}

std::vector<std::string> DiskStorage::ListFolder(const std::string& folder) {
  return FileNames(Find(root_, folder));
}

bool DiskStorage::MakeFolder(const std::string& folder) {
  const fs::path path = Find(root_, folder);
  std::error_code error;
  if (fs::is_directory(path, error)) return true;
  fs::create_directory(path, error);
  return fs::is_directory(path, error);
}

fs::path DiskStorage::PathOf(const std::string& name) const {
  const auto [folder, file] = SplitName(name);
  return Find(folder.empty() ? root_ : Find(root_, folder), file);
}

bool DiskStorage::Exists(const std::string& name) {
  std::error_code error;
  return fs::is_regular_file(PathOf(name), error);
}

std::optional<std::string> DiskStorage::Read(const std::string& name) {
  return disk::ReadWhole(PathOf(name));
}

bool DiskStorage::Write(const std::string& name, const std::string& bytes) {
  return disk::ReplaceFile(PathOf(name), bytes);
}

bool DiskStorage::Remove(const std::string& name) {
  std::error_code error;
  return fs::remove(PathOf(name), error) && !error;
}

std::unique_ptr<HeldFile> DiskStorage::Hold(const std::string& name) {
  return disk::HoldExclusive(PathOf(name));
}

}  // namespace z4::sim
