#include "app/settings_apply.h"

#include <string>

#include "app/board_settings_fetch.h"
#include "app/settings_job_run.h"
#include "core/backup_folder.h"
#include "core/shared_state.h"
#include "device/file_exchange.h"
#include "settings/settings_file.h"

namespace z4 {
namespace {

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
  const TransferResult local = TransferFile(ports, "Z4.INI", "", TransferMode::LocalPath);
  if (local.status != 0 ||
      !ports.files.ReplaceFileContents(local.path, RewriteSettingsFile(board.bytes, values))) {
    return ReportOf(BatchOutcome::LocalFilesNotWritten, backup);
  }
  job = RunSettingsJob(ports, host, texts, true);
  // Taken or not, the written file does not stay on the board.
  DeleteDeviceFile(ports, kDeleteSettings);
  if (job != SettingsJobResult::Finished) return Unfinished(job, false, backup);
  SharedState::SetDeviceSettings(values);

  // From here on the board holds the new file, and every outcome says so.
  job = RunSettingsJob(ports, host, texts, false);
  FetchedSettings read;
  if (job == SettingsJobResult::Finished) read = FetchBoardSettings(ports);
  DeleteDeviceFile(ports, kDeleteSettings);
  if (job != SettingsJobResult::Finished) return Unfinished(job, true, backup);
  if (read.outcome != BatchOutcome::Done) return ReportOf(BatchOutcome::NotReadBack);

  BatchReport report;
  report.differences = CompareSettings(values, read.bytes);
  if (!report.differences.empty()) report.outcome = BatchOutcome::ReadBackDiffers;
  return report;
}

}  // namespace z4
