// An in-memory file system with drives, folders and files, and the faults a
// board and a PC can show: a file held open, copies that fail, a drive that
// goes away, read-only files and folders, a full disk. Paths are Windows paths
// and compared without regard to case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace z4::fakes {

class FakeFileSystem : public FileSystem {
 public:
  FakeFileSystem();

  // --- set-up and inspection
  // A drive of that kind; a board's drive is removable. Adding a drive again
  // after RemoveDrive plugs it back in, with the kind given now.
  void AddDrive(char letter, DriveKind kind = DriveKind::Removable);
  // The name VolumeName gives for the drive; none until set.
  void SetVolumeName(char letter, const std::string& name);
  // The drive is lost: every operation on it fails until AddDrive again.
  void RemoveDrive(char letter);
  // The drive stays, of its kind, but holds no medium: every operation on its
  // files fails as if it were lost.
  void EjectMedium(char letter);
  bool HasDrive(char letter) const;
  // Another disk takes the letter: the files of the disk there now are put
  // aside and `files` (full paths) are the new disk's; the next call puts the
  // first disk's files back.
  void SwapDisk(char letter, const std::map<std::string, std::string>& files);
  void AddDirectory(const std::string& path);  // and the folders above it
  void AddFile(const std::string& path, const std::string& bytes);
  std::optional<std::string> Contents(const std::string& path) const;
  bool Exists(const std::string& path) const;
  bool IsDirectory(const std::string& path) const;
  // Names of the entries in a folder, sorted.
  std::vector<std::string> List(const std::string& folder) const;

  // --- faults
  // While held, the file cannot be opened, copied, read, replaced or deleted.
  void SetHeldOpen(const std::string& path, bool held);
  void FailNextCopies(int count) { failing_copies_ = count; }
  void SetReadOnly(const std::string& path, bool read_only);
  // Bytes that can still be written on a drive; unlimited until set.
  void SetFreeSpace(char letter, std::int64_t bytes);
  std::optional<std::int64_t> FreeSpace(char letter) const;
  // Called before every operation with its log line, for tests that change the
  // world between two steps of the program.
  std::function<void(const std::string& op)> before_operation;

  // One line per operation: "open P", "copy A -> B", "delete P", "mkdir P",
  // "rmdir P", "cd P", "find P", "search P", "read P", "write P", "replace P", "flush P",
  // "probe P".
  std::vector<std::string> log;
  int CountOps(const std::string& prefix) const;

  // --- FileSystem
  std::unique_ptr<OpenFile> TryOpenExclusive(const std::string& path, FileError& error) override;
  DriveKind DriveType(const std::string& root) override;
  std::optional<std::string> VolumeName(const std::string& root) override;
  FileError TryCreateAndDelete(const std::string& path) override;
  bool CopyReplacing(const std::string& from, const std::string& to) override;
  bool Delete(const std::string& path) override;
  bool MakeDirectory(const std::string& path) override;
  bool RemoveEmptyDirectory(const std::string& path) override;
  std::optional<std::string> CurrentDirectory() override;
  bool EnterDirectory(const std::string& path) override;
  std::optional<std::vector<std::string>> FindFiles(const std::string& pattern) override;
  std::optional<std::vector<std::string>> FindRegularFiles(const std::string& pattern) override;
  SearchOutcome Search(const std::string& pattern) override;
  std::optional<FileStart> ReadFileStart(const std::string& path, std::size_t limit) override;
  std::string FullPath(const std::string& path) override;
  bool WriteNewFile(const std::string& path, const std::string& bytes) override;
  bool ReplaceFileContents(const std::string& path, const std::string& bytes) override;
  bool FlushFile(const std::string& path) override;

 private:
  struct Entry {
    std::string name;  // the path as first given
    bool directory = false;
    std::string bytes;
    bool read_only = false;
    int held = 0;
  };
  class Handle;

  static std::string Key(const std::string& path);
  static std::string ParentKey(const std::string& key);
  static bool Matches(const std::string& pattern, const std::string& name);
  void Note(const std::string& op);
  Entry* Get(const std::string& path);
  const Entry* Get(const std::string& path) const;
  bool DriveUp(const std::string& key) const;
  // FindFiles without its log line; nullopt too when the folder is missing.
  std::optional<std::vector<std::string>> Match(const std::string& pattern) const;
  bool CanCreateIn(const std::string& key) const;
  // Takes room for `bytes` more on the path's drive; false when the disk is full.
  bool Reserve(const std::string& key, std::int64_t bytes);

  std::map<std::string, Entry> entries_;
  std::map<char, bool> drives_;
  std::map<char, DriveKind> kinds_;
  std::map<char, bool> ejected_;
  std::map<char, std::string> volumes_;
  std::map<char, std::int64_t> free_;
  std::map<char, std::map<std::string, Entry>> put_aside_;
  std::string cwd_ = "C:\\";
  int failing_copies_ = 0;
};

}  // namespace z4::fakes
