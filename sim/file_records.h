// The board's records in files beside its root: the state file and the job
// journal. An empty path keeps that record in memory only.
#pragma once

#include <filesystem>

#include "sim/board_records.h"

namespace z4::sim {

class FileRecords : public BoardRecords {
 public:
  FileRecords(std::filesystem::path state, std::filesystem::path journal)
      : state_path_(std::move(state)), journal_path_(std::move(journal)) {}

  std::optional<std::string> LoadState() override;
  bool SaveState(const std::string& text) override;
  bool AppendJournal(const std::string& entry) override;

 private:
  std::filesystem::path state_path_;
  std::filesystem::path journal_path_;
  MemoryRecords unsaved_;  // for the records without a path
};

}  // namespace z4::sim
