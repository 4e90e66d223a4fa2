// The emulated Z-4 board. It is driven by explicit steps: each Step looks at
// the root of the board's drive and moves the board's work on to the given
// time, so that the same object runs in a test's virtual time or in the z4sim
// command's loop.
//
// The exchange as the board sees it:
//  - "Z4.JOB" appears in the root and can be read: the board takes it (a job
//    file without "End:" only once it has read the same text twice, so that a
//    file still being written is not taken half way) and records it;
//  - it carries out the commands in order: "SetDataOut:" writes "Z4.INI" from
//    its settings, "SetDataIn:" reads "Z4.INI" and keeps the valid values,
//    "Wave:" writes the level data "Z4.CSV", "Wait:n" pauses n units, other
//    commands are acknowledged;
//  - "Repeat:" keeps the job running, with no end marker, until "Z4.JOB" is
//    deleted (or replaced by another job); the board then takes the next job;
//  - at "End:" it writes "Z4JOB.END" (after the configured delay); the
//    self-test job first leaves its result: a captured picture in the folder
//    "QXR" when it passes, the error log "Z4.LOG" when it fails;
//  - it leaves "Z4.JOB" in place and takes the next job once the PC has
//    cleared the finished one (the job file or the end marker has gone).
// Files are written under a temporary name and renamed into place. The board
// deletes nothing on its own.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/board_options.h"
#include "sim/board_records.h"
#include "sim/board_storage.h"
#include "sim/job_file.h"
#include "sim/settings.h"
#include "sim/settings_file.h"

namespace z4::sim {

inline constexpr const char* kJobFileName = "Z4.JOB";
inline constexpr const char* kEndMarkerName = "Z4JOB.END";
inline constexpr const char* kSettingsFileName = "Z4.INI";
inline constexpr const char* kLevelFileName = "Z4.CSV";
inline constexpr const char* kLogFileName = "Z4.LOG";

class Board {
 public:
  // Loads the settings from the records' state, or starts from the defaults
  // and saves them when there is no state yet. Both objects must outlive the
  // board.
  Board(BoardStorage& root, BoardRecords& records, BoardOptions options = {});
  Board(const Board&) = delete;
  Board& operator=(const Board&) = delete;

  // Moves the board on to `now_ms`, a time that never goes back.
  void Step(std::int64_t now_ms);

  const Settings& settings() const { return settings_; }
  // What the board does from its next step on: faults can come and go while
  // it runs.
  BoardOptions& options() { return options_; }
  // Empty when the state was read cleanly or absent; else its first bad line.
  const std::string& state_error() const { return state_error_; }
  // Every job text received, in order.
  const std::vector<std::string>& jobs() const { return jobs_; }
  // Jobs carried out to their end (with or without an end marker).
  int finished_jobs() const { return finished_jobs_; }
  // No job under way and no file held open.
  bool idle() const { return !job_ && holds_.empty(); }
  // What the last "SetDataIn:" found in "Z4.INI"; nullopt before the first.
  const std::optional<SettingsFileRead>& last_settings_read() const { return last_settings_read_; }
  // One line per thing the board did, for people reading a failed test.
  const std::vector<std::string>& activity() const { return activity_; }
  // Failures of the board's own bookkeeping (state or journal not saved).
  const std::vector<std::string>& problems() const { return problems_; }

 private:
  struct RunningJob {
    std::string text;
    std::vector<Command> commands;
    std::size_t next = 0;
    std::int64_t resume_at = 0;
    bool at_end = false;     // "End:" reached; the marker is due at resume_at
    bool repeating = false;  // "Repeat:" reached; runs until the job file goes
    bool self_test = false;
    bool result_written = false;  // the self-test's picture or log
    bool retrying = false;
  };
  struct Hold {
    std::unique_ptr<HeldFile> file;
    std::int64_t until;
  };

  void ReleaseHolds(std::int64_t now);
  void LookForJob(std::int64_t now);
  void TakeJob(const std::string& text, JobRead read, std::int64_t now);
  void RunJob(std::int64_t now);
  // Carries out one command; false when it must be tried again at a later step.
  bool Carry(const Command& command, std::int64_t now);
  bool TakeSettings();
  // A repeating job goes on while its job file is there.
  void KeepRepeating();
  // The self-test's result and the end marker; false when a write must be
  // tried again at a later step.
  bool EndJob(std::int64_t now);
  bool WriteSelfTestResult(std::int64_t now);
  void FinishJob();
  // Writes a file of the root ("Z4.INI") or of a folder of it ("QXR\MB000001.png").
  bool WriteBoardFile(const std::string& name, const std::string& bytes, std::int64_t now);
  void Note(std::string line) { activity_.push_back(std::move(line)); }
  void Problem(const std::string& line);

  BoardStorage& root_;
  BoardRecords& records_;
  BoardOptions options_;
  Settings settings_;
  std::string state_error_;

  std::optional<RunningJob> job_;
  // The last job's file is still in the root; no new job until it is cleared.
  bool awaiting_clear_ = false;
  bool marker_written_ = false;
  // A job file without "End:" read once, waiting to be read the same again.
  std::optional<std::string> unsettled_job_;
  std::vector<Hold> holds_;

  std::vector<std::string> jobs_;
  int finished_jobs_ = 0;
  std::optional<SettingsFileRead> last_settings_read_;
  std::vector<std::string> activity_;
  std::vector<std::string> problems_;
};

}  // namespace z4::sim
