#include "sim/board.h"

#include <algorithm>
#include <cctype>

#include "sim/journal.h"
#include "sim/level_file.h"
#include "sim/self_test.h"
#include "sim/state_file.h"

namespace z4::sim {
namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string CommandText(const Command& command) {
  return command.word + ":" + command.argument;
}

// "Wait:n" with n in decimal digits; nullopt for anything else.
std::optional<std::int64_t> WaitUnits(const std::string& argument) {
  if (argument.empty() || argument.size() > 9) return std::nullopt;
  std::int64_t units = 0;
  for (char c : argument) {
    if (c < '0' || c > '9') return std::nullopt;
    units = units * 10 + (c - '0');
  }
  return units;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += (text.empty() ? "\"" : ", \"") + line + "\"";
  return text;
}

}  // namespace

Board::Board(BoardStorage& root, BoardRecords& records, BoardOptions options)
    : root_(root), records_(records), options_(std::move(options)) {
  if (const auto state = records_.LoadState()) {
    const StateFileRead read = ReadStateFile(*state);
    settings_ = read.settings;
    state_error_ = read.error;
  } else if (!records_.SaveState(StateFileText(settings_))) {
    Problem("cannot save the board state");
  }
}

void Board::Step(std::int64_t now_ms) {
  ReleaseHolds(now_ms);
  if (!job_) LookForJob(now_ms);
  if (job_) RunJob(now_ms);
}

void Board::ReleaseHolds(std::int64_t now) {
  holds_.erase(std::remove_if(holds_.begin(), holds_.end(),
                              [now](const Hold& hold) { return hold.until <= now; }),
               holds_.end());
}

void Board::LookForJob(std::int64_t now) {
  if (awaiting_clear_) {
    const bool job_gone = !root_.Exists(kJobFileName);
    const bool marker_gone = marker_written_ && !root_.Exists(kEndMarkerName);
    if (!job_gone && !marker_gone) return;
    awaiting_clear_ = false;
  }
  if (!root_.Exists(kJobFileName)) {
    unsettled_job_.reset();
    return;
  }
  const auto text = root_.Read(kJobFileName);
  if (!text) return;  // still being written, or held open by the PC
  JobRead read = ReadJobFile(*text);
  if (!read.complete && unsettled_job_ != text) {
    unsettled_job_ = text;
    return;
  }
  unsettled_job_.reset();
  TakeJob(*text, std::move(read), now);
}

void Board::TakeJob(const std::string& text, JobRead read, std::int64_t now) {
  jobs_.push_back(text);
  const int number = static_cast<int>(jobs_.size());
  if (!records_.AppendJournal(JournalEntry(number, text))) {
    Problem("cannot add job " + std::to_string(number) + " to the journal");
  }
  Note("take job " + std::to_string(number) + ": " + std::to_string(read.commands.size()) +
       " commands" + (read.complete ? "" : ", no End:"));
  if (!read.malformed.empty()) Note("skip malformed lines " + Joined(read.malformed));
  RunningJob job;
  job.text = text;
  job.commands = std::move(read.commands);
  job.resume_at = now;
  job.self_test = IsSelfTestJob(text);
  job_ = std::move(job);
  marker_written_ = false;
}

void Board::RunJob(std::int64_t now) {
  while (job_ && now >= job_->resume_at) {
    if (job_->repeating) {
      KeepRepeating();
      return;
    }
    if (job_->at_end) {
      if (EndJob(now)) FinishJob();
      return;
    }
    if (job_->next == job_->commands.size()) {
      Note("job ends without End:");
      FinishJob();
      return;
    }
    const Command command = job_->commands[job_->next];
    if (!Carry(command, now)) {
      if (!job_->retrying) Note("cannot carry out " + CommandText(command) + " yet");
      job_->retrying = true;
      return;
    }
    job_->retrying = false;
    ++job_->next;
  }
}

bool Board::Carry(const Command& command, std::int64_t now) {
  const std::string& word = command.word;
  if (word == "SetDataOut") {
    return WriteBoardFile(kSettingsFileName,
                          options_.settings_file.value_or(SettingsFileText(settings_)), now);
  }
  if (word == "SetDataIn") return TakeSettings();
  if (word == "Wave") {
    return WriteBoardFile(kLevelFileName, options_.level_file.value_or(GeneratedLevelFile()), now);
  }
  if (word == "Repeat") {
    job_->repeating = true;
    Note("repeat " + command.argument + " until " + kJobFileName + " is deleted");
    return true;
  }
  if (word == "Wait") {
    const auto units = WaitUnits(command.argument);
    if (!units) Note("wait with unreadable length " + CommandText(command));
    job_->resume_at = now + units.value_or(0) * options_.wait_unit_ms;
    return true;
  }
  if (word == "End") {
    job_->at_end = true;
    if (options_.never_end) {
      Note("reach End:, no end marker");
    } else {
      job_->resume_at = now + options_.end_delay_ms;
      Note("reach End:");
    }
    return true;
  }
  Note((IsKnownCommand(word) ? "acknowledge " : "ignore unknown command ") + CommandText(command));
  return true;
}

bool Board::TakeSettings() {
  if (options_.refuse_settings) {
    Note("refuse " + std::string(kSettingsFileName));
    return true;
  }
  if (!root_.Exists(kSettingsFileName)) {
    Note("no " + std::string(kSettingsFileName) + " to read");
    return true;
  }
  const auto text = root_.Read(kSettingsFileName);
  if (!text) return false;  // the PC is still writing it
  SettingsFileRead read = ReadSettingsFile(*text, settings_);
  std::string applied;
  for (Key key : read.applied) applied += std::string(applied.empty() ? "" : " ") + KeyName(key);
  Note("read " + std::string(kSettingsFileName) + ": applied [" + applied + "], rejected [" +
       Joined(read.rejected) + "]");
  if (read.settings != settings_) {
    settings_ = read.settings;
    if (!records_.SaveState(StateFileText(settings_))) Problem("cannot save the board state");
  }
  last_settings_read_ = std::move(read);
  return true;
}

void Board::KeepRepeating() {
  if (root_.Exists(kJobFileName)) {
    // Unreadable means held open by the PC: still the same job.
    const auto text = root_.Read(kJobFileName);
    if (!text || *text == job_->text) return;
  }
  Note("stop repeating: " + std::string(kJobFileName) + " deleted or replaced");
  FinishJob();
  awaiting_clear_ = false;  // the job file has gone already
}

bool Board::EndJob(std::int64_t now) {
  if (job_->self_test && !job_->result_written) {
    if (!WriteSelfTestResult(now)) return false;
    job_->result_written = true;
  }
  if (options_.never_end) return true;
  if (!WriteBoardFile(kEndMarkerName, "", now)) return false;
  marker_written_ = true;
  return true;
}

bool Board::WriteSelfTestResult(std::int64_t now) {
  if (options_.self_test_log) return WriteBoardFile(kLogFileName, *options_.self_test_log, now);
  if (options_.self_test_errors) {
    return WriteBoardFile(kLogFileName, FailureLogText(*options_.self_test_errors), now);
  }
  if (!root_.MakeFolder(kCaptureFolder)) return false;
  const int number = NextCaptureNumber(root_.ListFolder(kCaptureFolder));
  const std::string name = CaptureName(number, settings_.file_format);
  return WriteBoardFile(std::string(kCaptureFolder) + "\\" + name,
                        options_.capture.value_or(CaptureImage(settings_.file_format)), now);
}

void Board::FinishJob() {
  job_.reset();
  ++finished_jobs_;
  awaiting_clear_ = true;
}

bool Board::WriteBoardFile(const std::string& name, const std::string& bytes, std::int64_t now) {
  if (!root_.Write(name, bytes)) return false;
  Note("write " + name);
  for (const HoldRule& rule : options_.holds) {
    if (!SameName(rule.name, name)) continue;
    if (auto held = root_.Hold(name)) {
      holds_.push_back(Hold{std::move(held), now + rule.ms});
      Note("hold " + name + " for " + std::to_string(rule.ms) + " ms");
    }
  }
  return true;
}

void Board::Problem(const std::string& line) {
  problems_.push_back(line);
  Note("problem: " + line);
}

}  // namespace z4::sim
