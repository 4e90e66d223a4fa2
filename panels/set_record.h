// What a Set from the window leaves behind for people to read: the board's
// settings file as last read from it and the file it reported when it was
// read back, in the history of board writes, and one line in Z4Utility.log
// that says only what the program knows: the values that changed, the values
// the board did not take, that the write could not be checked, or why it was
// not written.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ports.h"
#include "core/settings_record.h"
#include "settings/settings_history.h"
#include "settings/settings_read_back.h"

namespace z4 {

class SetRecord {
 public:
  // `unlogged` is called with the log's path the first time a line cannot
  // be added to it, and never again.
  SetRecord(Ports& ports, std::function<void(const std::string&)> unlogged)
      : ports_(ports), unlogged_(std::move(unlogged)) {}

  // The write is about to start: the board's file, as last read from the
  // board now being written, goes into the history.
  void Begin(const SettingsRecord& before, const SettingsRecord& after);
  // The board was read back and reported `board_file`: it goes beside the
  // history's before file, and the line names the values that changed, or
  // those the board did not take.
  void ReadBack(std::string_view board_file, const std::vector<ValueDifference>& differences);
  // The board finished the write, but what it holds now is not known.
  void NotReadBack(const std::string& reason);
  // The Set did not reach the board, for `reason`.
  void Failed(const std::string& reason);
  // The write was under way when it was given up: whether the board took it
  // is not known.
  void Abandoned(const std::string& reason);
  // A write has begun and its line is still to come.
  bool Open() const { return begun_; }

 private:
  void Line(const std::string& outcome);

  Ports& ports_;
  std::function<void(const std::string&)> unlogged_;
  bool told_ = false;
  bool begun_ = false;
  HistoryEntry entry_;
  std::string changes_;
};

}  // namespace z4
