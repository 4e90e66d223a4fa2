// What the board keeps outside its drive: its state (the settings it holds
// between runs) and the journal of the jobs it received.
#pragma once

#include <optional>
#include <string>

namespace z4::sim {

class BoardRecords {
 public:
  virtual ~BoardRecords() = default;
  // The state text; nullopt when there is none yet.
  virtual std::optional<std::string> LoadState() = 0;
  virtual bool SaveState(const std::string& text) = 0;
  // Adds one entry (already formatted) to the end of the journal.
  virtual bool AppendJournal(const std::string& entry) = 0;
};

// Records in memory, for tests. A test can set `state` before the board starts
// to give it other settings than the defaults.
class MemoryRecords : public BoardRecords {
 public:
  std::optional<std::string> state;
  std::string journal;

  std::optional<std::string> LoadState() override { return state; }
  bool SaveState(const std::string& text) override {
    state = text;
    return true;
  }
  bool AppendJournal(const std::string& entry) override {
    journal += entry;
    return true;
  }
};

}  // namespace z4::sim
