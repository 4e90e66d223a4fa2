// The board's root on a real folder. Names are found without regard to case,
// also on file systems that tell case apart, so that "z4.job" written by a
// program under Wine is the board's "Z4.JOB" and "qxr" its folder "QXR".
#pragma once

#include <filesystem>

#include "sim/board_storage.h"

namespace z4::sim {

class DiskStorage : public BoardStorage {
 public:
  explicit DiskStorage(std::filesystem::path root) : root_(std::move(root)) {}

  std::vector<std::string> List() override;
  std::vector<std::string> ListFolder(const std::string& folder) override;
  bool MakeFolder(const std::string& folder) override;
  bool Exists(const std::string& name) override;
  std::optional<std::string> Read(const std::string& name) override;
  bool Write(const std::string& name, const std::string& bytes) override;
  bool Remove(const std::string& name) override;
  std::unique_ptr<HeldFile> Hold(const std::string& name) override;

 private:
  // The file whose name (and folder name) matches, or the name as given when
  // none does.
  std::filesystem::path PathOf(const std::string& name) const;

  std::filesystem::path root_;
};

}  // namespace z4::sim
