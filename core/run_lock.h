// One copy of the program at a time works in the backup folder: /export and
// /apply for their run, the main window for as long as it is open. Two copies
// at once would hand one board the files prepared for another. The lock is a
// file beside the backup folder held open without sharing; the system lets it
// go when the program ends in any way.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace z4 {

class RunLock {
 public:
  enum class State { Held, Busy, CannotCreate };

  RunLock(FileSystem& files, std::string path);
  ~RunLock();
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

  State state() const { return state_; }
  const std::string& path() const { return path_; }

 private:
  FileSystem& files_;
  std::string path_;
  std::unique_ptr<OpenFile> held_;
  State state_ = State::CannotCreate;
};

// The lock file's path: "BackupZ4.lock" in the program folder.
std::string RunLockPath(const std::string& program_folder);

}  // namespace z4
