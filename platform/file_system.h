// Files and folders, local and on the board's drive. Paths are UTF-8 and use "\".
// The operations are named apart from the Win32 functions, whose names are
// macros in <windows.h>.
#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace z4 {

// The start of a file, read up to a limit.
struct FileStart {
  std::string bytes;
  bool whole = true;  // false when the file holds more than was read
};

// No limit on what ReadFile takes.
constexpr std::size_t kAnySize = std::numeric_limits<std::size_t>::max();

// Why a file could not be opened, as far as the program tells causes apart.
enum class FileError {
  None,
  NotFound,  // the file is not there; its folder and drive are
  Gone,      // the folder or the drive is not there, or the drive is not ready
  InUse,     // someone else holds the file open
  Denied,    // the file is read-only, or access to it is refused
  Exists,    // a file of the name is there already
  Other,
};

// What kind of drive a root such as "E:\" belongs to.
enum class DriveKind { Unknown, NoRoot, Removable, Fixed, Remote, CdRom, RamDisk };

// What a search found out about the place it looked in.
enum class SearchOutcome {
  Found,         // at least one entry matches
  NothingThere,  // the folder is there and nothing in it matches (yet)
  PlaceGone,     // the folder or the whole drive is missing or not ready
  Failed,        // the search failed for another reason
};

// A file held open; closed when the object goes away.
class OpenFile {
 public:
  virtual ~OpenFile() = default;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens an existing file for reading and writing with no sharing. A file that
  // is absent, read-only or held open by anyone else gives nullptr, and
  // `error` says which.
  virtual std::unique_ptr<OpenFile> TryOpenExclusive(const std::string& path, FileError& error) = 0;
  std::unique_ptr<OpenFile> OpenExclusive(const std::string& path) {
    FileError ignored = FileError::None;
    return TryOpenExclusive(path, ignored);
  }

  // The kind of drive of a root such as "E:\".
  virtual DriveKind DriveType(const std::string& root) = 0;
  // The name the system gives the volume mounted at a drive root, such as
  // "\\?\Volume{...}\"; nullopt when it gives none.
  virtual std::optional<std::string> VolumeName(const std::string& root) = 0;

  // Creates a file of that name where none is, with the right to delete it,
  // and closes it, which deletes it again: whether files may be made and
  // deleted in its folder. None when that worked; Denied when the system
  // refuses it (access denied, a write-protected medium); Exists when a file
  // of the name is there; otherwise as for opening.
  virtual FileError TryCreateAndDelete(const std::string& path) = 0;

  // Copies a file, replacing an existing target.
  virtual bool CopyReplacing(const std::string& from, const std::string& to) = 0;
  virtual bool Delete(const std::string& path) = 0;
  virtual bool MakeDirectory(const std::string& path) = 0;
  virtual bool RemoveEmptyDirectory(const std::string& path) = 0;

  virtual std::optional<std::string> CurrentDirectory() = 0;
  virtual bool EnterDirectory(const std::string& path) = 0;

  // Names of the entries matching a pattern such as "C:\dir\*.*", in the order
  // the system gives them (which may include "." and ".."); nullopt when the
  // search cannot start.
  virtual std::optional<std::vector<std::string>> FindFiles(const std::string& pattern) = 0;
  // The same for files only: folders that match are left out. Nullopt when the
  // search cannot start; an empty list when only folders matched.
  virtual std::optional<std::vector<std::string>> FindRegularFiles(const std::string& pattern) = 0;
  // Searches for a pattern and tells a name that is not there from a folder or
  // drive that is not there: on a drive that has gone, the second.
  virtual SearchOutcome Search(const std::string& pattern) = 0;

  // At most `limit` bytes from the start of the file; nullopt when it cannot
  // be opened or read. Nothing beyond the limit is read or held in memory.
  virtual std::optional<FileStart> ReadFileStart(const std::string& path, std::size_t limit) = 0;

  // The whole file as bytes when it holds at most `limit` of them; nullopt when
  // it cannot be opened or read, or is larger. Whatever is on a disk can be
  // larger than the memory there is, so readers name the most they expect.
  std::optional<std::string> ReadFile(const std::string& path, std::size_t limit = kAnySize) {
    auto start = ReadFileStart(path, limit);
    if (!start || !start->whole) return std::nullopt;
    return std::move(start->bytes);
  }

  // The full path of a file, with "." and ".." resolved, as the system would
  // use it; the path itself when the system cannot make one.
  virtual std::string FullPath(const std::string& path) = 0;

  // Creates or truncates the file in place, writes the bytes, flushes and closes.
  virtual bool WriteNewFile(const std::string& path, const std::string& bytes) = 0;

  // Replaces the file's contents as one step: afterwards the file holds either
  // its old contents or all of the new bytes, never a part of them.
  virtual bool ReplaceFileContents(const std::string& path, const std::string& bytes) = 0;

  // Opens an existing file, flushes the system's buffers for it to the disk, closes it.
  virtual bool FlushFile(const std::string& path) = 0;
};

}  // namespace z4
