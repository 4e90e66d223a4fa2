// What a Set from the window leaves behind for people to read: the board's
// settings file as last read from it and the file it took, in the history of
// board writes, and one line in Z4Utility.log with the values that changed or
// the reason the Set failed.
#pragma once

#include <string>
#include <string_view>

#include "core/ports.h"
#include "core/settings_record.h"
#include "settings/settings_history.h"

namespace z4 {

class SetRecord {
 public:
  explicit SetRecord(Ports& ports) : ports_(ports) {}

  // The write is about to start: the board's file, as last read from the
  // board now being written, goes into the history.
  void Begin(const SettingsRecord& before, const SettingsRecord& after);
  // The board took the write: the file it was given goes beside the history's
  // before file, and the line names the values that changed.
  void Done(std::string_view written);
  // The Set did not reach the board, for `reason`.
  void Failed(const std::string& reason);

 private:
  void Line(const std::string& outcome);

  Ports& ports_;
  bool begun_ = false;
  HistoryEntry entry_;
  std::string changes_;
};

}  // namespace z4
