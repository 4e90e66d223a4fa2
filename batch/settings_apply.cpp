#include "batch/settings_apply.h"

#include <string>

#include "batch/settings_job_run.h"
#include "core/backup_folder.h"
#include "core/shared_state.h"
#include "device/file_exchange.h"
#include "settings/board_settings_fetch.h"
#include "settings/settings_format.h"
#include "settings/settings_history.h"
#include "settings/settings_storage.h"

namespace z4 {
namespace {

// The seven values a board's file holds (built-in ones where it has none).
SettingsRecord RecordOf(std::string_view bytes) {
  SettingsRecord record = BuiltInSettings();
  AcceptedValues accepted;
  ParseSettingsFile(bytes, accepted);
  accepted.ApplyTo(record);
  return record;
}

// How a settings job that did not finish ends the run; `written` says the
// board has already taken the new file.
BatchReport Unfinished(SettingsJobResult job, bool written, const std::string& backup) {
  switch (job) {
    case SettingsJobResult::Failed:
      return ReportOf(BatchOutcome::Stopped);
    case SettingsJobResult::NotStarted:
      return written ? ReportOf(BatchOutcome::NotReadBack)
                     : ReportOf(BatchOutcome::LocalFilesNotWritten, backup);
    default:
      return ReportOf(written ? BatchOutcome::NotReadBack : BatchOutcome::NoAnswer);
  }
}

BatchOutcome OutcomeOf(FetchStatus status) {
  return status == FetchStatus::TooLarge ? BatchOutcome::BoardFileTooLarge
                                         : BatchOutcome::NoSettingsFile;
}

}  // namespace

BatchReport ApplySettings(Ports& ports, DialogHost& host, const TextTable& texts,
                          const SettingsRecord& values) {
  const std::string backup = BackupFolderPath(ports.system);
  SettingsJobResult job = RunSettingsJob(ports, host, texts, false);
  // The rewrite starts from the board's own file, so that every line of it
  // besides the seven stays. Without that file nothing is written: the board
  // would be sent a file of the seven values alone.
  FetchedSettings board;
  if (job == SettingsJobResult::Finished) board = FetchBoardSettings(ports);
  DeleteDeviceFile(ports, kDeleteSettings);
  if (job != SettingsJobResult::Finished) return Unfinished(job, false, backup);
  if (board.status != FetchStatus::Fetched) return ReportOf(OutcomeOf(board.status));
  TakeBoardSettings(ports, board.bytes);

  // What Set does: the rewritten file, replaced as a whole, for the write job
  // to deliver.
  SharedState::SetPendingSettings(values);
  const std::string rewritten = RewriteSettingsFile(board.bytes, values);
  const TransferResult local = TransferFile(ports, "Z4.INI", "", TransferMode::LocalPath);
  if (local.status != 0 || !ports.files.ReplaceFileContents(local.path, rewritten)) {
    return ReportOf(BatchOutcome::LocalFilesNotWritten, backup);
  }
  // What the board held goes into the history before the write, and every
  // outcome from here on names it.
  const HistoryEntry history = KeepBefore(ports, SharedState::GetDeviceDrive(), board.bytes);
  BatchReport kept;
  kept.history_tried = true;
  kept.history = history.before_path;
  kept.changes = SettingsChanges(RecordOf(board.bytes), values);
  const auto with = [&kept](BatchReport report, bool written) {
    report.history_tried = true;
    report.history = kept.history;
    report.written = written;
    if (written) report.changes = kept.changes;
    return report;
  };
  job = RunSettingsJob(ports, host, texts, true);
  // Taken or not, the written file does not stay on the board.
  DeleteDeviceFile(ports, kDeleteSettings);
  if (job != SettingsJobResult::Finished) return with(Unfinished(job, false, backup), false);

  // From here on the board has taken the new file, and every outcome says so.
  // What it holds is known once it has been read back.
  job = RunSettingsJob(ports, host, texts, false);
  FetchedSettings read;
  if (job == SettingsJobResult::Finished) read = FetchBoardSettings(ports);
  DeleteDeviceFile(ports, kDeleteSettings);
  if (job != SettingsJobResult::Finished) return with(Unfinished(job, true, backup), true);
  if (read.status != FetchStatus::Fetched) return with(ReportOf(BatchOutcome::NotReadBack), true);
  TakeBoardSettings(ports, read.bytes);

  BatchReport report = with(BatchReport{}, true);
  // The file the board reported is the after file: what it holds now.
  report.after_missing = !history.before_path.empty() && !KeepAfter(ports, history, read.bytes);
  report.differences = CompareSettings(values, read.bytes);
  if (!report.differences.empty()) report.outcome = BatchOutcome::ReadBackDiffers;
  return report;
}

}  // namespace z4
