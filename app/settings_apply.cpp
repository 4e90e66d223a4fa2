#include "app/settings_apply.h"

#include <string>

#include "app/board_settings_fetch.h"
#include "app/settings_job_run.h"
#include "core/backup_folder.h"
#include "core/shared_state.h"
#include "device/file_exchange.h"
#include "settings/settings_file.h"
#include "settings/settings_history.h"

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
  if (board.outcome != BatchOutcome::Done) return ReportOf(board.outcome);

  // What Set does: the rewritten file, replaced as a whole, for the write job
  // to deliver.
  SharedState::SetPendingSettings(values);
  const std::string rewritten = RewriteSettingsFile(board.bytes, values);
  const TransferResult local = TransferFile(ports, "Z4.INI", "", TransferMode::LocalPath);
  if (local.status != 0 || !ports.files.ReplaceFileContents(local.path, rewritten)) {
    return ReportOf(BatchOutcome::LocalFilesNotWritten, backup);
  }
  // What the board held goes into the history before the write; what it took
  // after.
  const HistoryEntry history = KeepBefore(ports, SharedState::GetDeviceDrive(), board.bytes);
  job = RunSettingsJob(ports, host, texts, true);
  // Taken or not, the written file does not stay on the board.
  DeleteDeviceFile(ports, kDeleteSettings);
  if (job != SettingsJobResult::Finished) return Unfinished(job, false, backup);
  SharedState::SetDeviceSettings(values);

  // From here on the board holds the new file, and every outcome says so.
  BatchReport written;
  written.written = true;
  if (!history.before_path.empty() && KeepAfter(ports, history, rewritten)) {
    written.history = history.before_path;
  }
  written.changes = SettingsChanges(RecordOf(board.bytes), values);
  const auto with_history = [&written](BatchReport report) {
    report.written = true;
    report.changes = written.changes;
    report.history = written.history;
    return report;
  };
  job = RunSettingsJob(ports, host, texts, false);
  FetchedSettings read;
  if (job == SettingsJobResult::Finished) read = FetchBoardSettings(ports);
  DeleteDeviceFile(ports, kDeleteSettings);
  if (job != SettingsJobResult::Finished) return with_history(Unfinished(job, true, backup));
  if (read.outcome != BatchOutcome::Done) return with_history(ReportOf(BatchOutcome::NotReadBack));

  BatchReport report = written;
  report.differences = CompareSettings(values, read.bytes);
  if (!report.differences.empty()) report.outcome = BatchOutcome::ReadBackDiffers;
  return report;
}

}  // namespace z4
