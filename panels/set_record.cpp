#include "panels/set_record.h"

#include "core/data_folder.h"
#include "core/run_log.h"
#include "core/shared_state.h"

namespace z4 {

void SetRecord::Begin(const SettingsRecord& before, const SettingsRecord& after) {
  begun_ = true;
  changes_ = SettingsChanges(before, after);
  entry_ = HistoryEntry{};
  const std::string drive = SharedState::GetDeviceDrive();
  // Only a file read from this very board says what it held.
  if (!drive.empty() && SharedState::GetBoardFileDrive() == drive) {
    entry_ = KeepBefore(ports_, drive, SharedState::GetBoardFile());
  }
}

void SetRecord::ReadBack(std::string_view board_file,
                         const std::vector<ValueDifference>& differences) {
  const bool after_kept = KeepAfter(ports_, entry_, board_file);
  const std::string history = after_kept ? "" : "; history not written";
  if (!differences.empty()) {
    Line("not taken: " + DifferencesText(differences) + history);
  } else {
    Line("done: " + (changes_.empty() ? std::string("no change") : changes_) + history);
  }
}

void SetRecord::NotReadBack(const std::string& reason) {
  Line("written, not read back: " + reason +
       (entry_.before_path.empty() ? "; history not written" : ""));
}

void SetRecord::Failed(const std::string& reason) {
  Line("not written: " + reason +
       (begun_ && entry_.before_path.empty() ? "; history not written" : ""));
}

void SetRecord::Abandoned(const std::string& reason) {
  Line("not known whether written: " + reason +
       (entry_.before_path.empty() ? "; history not written" : ""));
}

void SetRecord::Line(const std::string& outcome) {
  const std::string folder = GetDataFolder(ports_.system);
  const bool logged = AppendRunLog(ports_.appender, folder,
                                   RunRecord{ports_.wall_clock.Now(), SharedState::GetDeviceDrive(),
                                             "set", entry_.before_path, outcome});
  begun_ = false;
  entry_ = HistoryEntry{};
  if (logged || told_) return;
  told_ = true;
  if (unlogged_) unlogged_(folder + "\\Z4Utility.log");
}

}  // namespace z4
