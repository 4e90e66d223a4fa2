#include "sim/file_records.h"

#include "sim/disk_files.h"

namespace z4::sim {

std::optional<std::string> FileRecords::LoadState() {
  if (state_path_.empty()) return unsaved_.LoadState();
  return disk::ReadWhole(state_path_);
}

bool FileRecords::SaveState(const std::string& text) {
  if (state_path_.empty()) return unsaved_.SaveState(text);
  return disk::ReplaceFile(state_path_, text);
}

bool FileRecords::AppendJournal(const std::string& entry) {
  if (journal_path_.empty()) return unsaved_.AppendJournal(entry);
  return disk::AppendToFile(journal_path_, entry);
}

}  // namespace z4::sim
