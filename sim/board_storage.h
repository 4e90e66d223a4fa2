// The board's view of its own drive: the files in its root, and in folders of
// the root, by name. A file in a folder is named "FOLDER\NAME" (such as
// "QXR\MB000001.png"); one level of folders is all the board uses. Names are
// matched without regard to case, as the PC sees them.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace z4::sim {

// A file the board keeps open so that the PC cannot open it; released when
// the object goes away.
class HeldFile {
 public:
  virtual ~HeldFile() = default;
};

class BoardStorage {
 public:
  virtual ~BoardStorage() = default;

  // Names of the files in the root.
  virtual std::vector<std::string> List() = 0;
  // Names of the files in the root's folder `folder`; none when it is absent.
  virtual std::vector<std::string> ListFolder(const std::string& folder) = 0;
  // Creates the root's folder `folder` when it is not there; true when it is
  // there afterwards.
  virtual bool MakeFolder(const std::string& folder) = 0;
  virtual bool Exists(const std::string& name) = 0;
  // The whole file; nullopt when it is absent or someone is writing it or
  // holds it open.
  virtual std::optional<std::string> Read(const std::string& name) = 0;
  // Writes the bytes under a temporary name, keeping that file open to nobody
  // else while writing, then renames it over `name`: the PC sees either the
  // old file or the whole new one. False when the file cannot be replaced (the
  // PC holds it open, the disk is full, the drive is gone).
  virtual bool Write(const std::string& name, const std::string& bytes) = 0;
  virtual bool Remove(const std::string& name) = 0;
  // Opens an existing file with no sharing; nullptr when that is not possible.
  virtual std::unique_ptr<HeldFile> Hold(const std::string& name) = 0;
};

}  // namespace z4::sim
