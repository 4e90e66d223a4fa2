#include "core/run_lock.h"

#include <utility>

namespace z4 {

RunLock::RunLock(FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {
  FileError error = FileError::None;
  held_ = files_.TryOpenExclusive(path_, error);
  if (!held_ && error == FileError::NotFound) {
    // Creating the file fails when the folder cannot be written, or when
    // another run has just made it; the second open tells which.
    files_.WriteNewFile(path_, "");
    held_ = files_.TryOpenExclusive(path_, error);
  }
  // Only a file that someone holds open means another run. A lock file that
  // cannot be opened for any other reason (read-only, or left with other
  // access rights) would otherwise keep every run out for good.
  if (held_) {
    state_ = State::Held;
  } else {
    state_ = error == FileError::InUse ? State::Busy : State::CannotCreate;
  }
}

RunLock::~RunLock() {
  if (!held_) return;
  held_.reset();
  // Another run may have taken the file in the meantime; then it stays. A
  // lock file that stays (even for want of memory to name it) is taken over
  // by the next run.
  try {
    files_.Delete(path_);
  } catch (...) {
  }
}

std::string RunLockPath(const std::string& program_folder) {
  return program_folder + "\\BackupZ4.lock";
}

}  // namespace z4
