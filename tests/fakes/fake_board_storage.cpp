#include "fakes/fake_board_storage.h"

#include <cctype>

namespace z4::fakes {

// Keeps the board's operations out of the program's operation log and away
// from the program's hook, while they run.
class FakeBoardStorage::Quiet {
 public:
  explicit Quiet(FakeFileSystem& files)
      : files_(files), hook_(std::move(files.before_operation)), log_size_(files.log.size()) {
    files_.before_operation = nullptr;
  }
  ~Quiet() {
    files_.log.resize(log_size_);
    files_.before_operation = std::move(hook_);
  }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;

 private:
  FakeFileSystem& files_;
  std::function<void(const std::string&)> hook_;
  std::size_t log_size_;
};

class FakeBoardStorage::Held : public sim::HeldFile {
 public:
  Held(FakeFileSystem& files, std::string path) : files_(files), path_(std::move(path)) {
    files_.SetHeldOpen(path_, true);
  }
  ~Held() override { files_.SetHeldOpen(path_, false); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

 private:
  FakeFileSystem& files_;
  std::string path_;
};

FakeBoardStorage::FakeBoardStorage(FakeFileSystem& files, char letter)
    : files_(files),
      root_(std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))) +
            ":\\") {}

std::vector<std::string> FakeBoardStorage::List() {
  return ListFolder("");
}

std::vector<std::string> FakeBoardStorage::ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  const std::string path = PathOf(folder);
  if (!files_.IsDirectory(path)) return names;  // also when the drive is gone
  const std::string prefix = folder.empty() ? std::string() : folder + "\\";
  for (const auto& name : files_.List(path)) {
    if (!files_.IsDirectory(PathOf(prefix + name))) names.push_back(name);
  }
  return names;
}

bool FakeBoardStorage::MakeFolder(const std::string& folder) {
  if (files_.IsDirectory(PathOf(folder))) return true;
  Quiet quiet(files_);
  return files_.MakeDirectory(PathOf(folder));
}

bool FakeBoardStorage::Exists(const std::string& name) {
  return files_.Exists(PathOf(name)) && !files_.IsDirectory(PathOf(name));
}

std::optional<std::string> FakeBoardStorage::Read(const std::string& name) {
  Quiet quiet(files_);
  return files_.ReadFile(PathOf(name));
}

bool FakeBoardStorage::Write(const std::string& name, const std::string& bytes) {
  Quiet quiet(files_);
  // The new bytes go beside the old file first: a full disk or a lost drive
  // leaves the old file as it was.
  const std::string temporary = PathOf(name + ".z4sim-tmp");
  if (!files_.WriteNewFile(temporary, bytes)) {
    files_.Delete(temporary);
    return false;
  }
  files_.Delete(temporary);
  // Renaming over a file that the PC holds open fails, as on Windows.
  const std::string target = PathOf(name);
  if (files_.Exists(target) && !files_.Delete(target)) return false;
  return files_.WriteNewFile(target, bytes);
}

bool FakeBoardStorage::Remove(const std::string& name) {
  Quiet quiet(files_);
  return files_.Delete(PathOf(name));
}

std::unique_ptr<sim::HeldFile> FakeBoardStorage::Hold(const std::string& name) {
  // As an open with no sharing: it fails while the PC has the file open.
  if (!Exists(name) || !Read(name)) return nullptr;
  return std::make_unique<Held>(files_, PathOf(name));
}

}  // namespace z4::fakes
