#include "app/run_lock.h"

#include <utility>

namespace z4 {
namespace {

bool Exists(FileSystem& files, const std::string& path) {
  const auto found = files.FindFiles(path);
  return found && !found->empty();
}

}  // namespace

RunLock::RunLock(FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {
  held_ = files_.OpenExclusive(path_);
  // Creating the file fails while another run holds it; only a file that is
  // still missing afterwards means the folder cannot be written.
  if (!held_ && !Exists(files_, path_) && files_.WriteNewFile(path_, "")) {
    held_ = files_.OpenExclusive(path_);
  }
  if (held_) {
    state_ = State::Held;
  } else {
    state_ = Exists(files_, path_) ? State::Busy : State::CannotCreate;
  }
}

RunLock::~RunLock() {
  if (!held_) return;
  held_.reset();
  // Another run may have taken the file in the meantime; then it stays.
  files_.Delete(path_);
}

std::string RunLockPath(const std::string& program_folder) {
  return program_folder + "\\BackupZ4.lock";
}

}  // namespace z4
