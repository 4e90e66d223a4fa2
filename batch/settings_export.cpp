#include "batch/settings_export.h"

#include "batch/settings_job_run.h"
#include "core/backup_folder.h"
#include "device/file_exchange.h"
#include "settings/board_settings_fetch.h"

namespace z4 {

BatchReport ExportSettings(Ports& ports, DialogHost& host, const TextTable& texts) {
  const SettingsJobResult job = RunSettingsJob(ports, host, texts, false);
  if (job == SettingsJobResult::NotStarted) {
    return ReportOf(BatchOutcome::LocalFilesNotWritten, BackupFolderPath(ports.system));
  }
  FetchedSettings board;
  if (job == SettingsJobResult::Finished) board = FetchBoardSettings(ports);
  // The settings have been read: the board's file goes, as when the window
  // has shown them.
  DeleteDeviceFile(ports, kDeleteSettings);
  if (job == SettingsJobResult::Failed) return ReportOf(BatchOutcome::Stopped);
  if (job == SettingsJobResult::TimedOut) return ReportOf(BatchOutcome::NoAnswer);
  if (board.status == FetchStatus::NoFile) return ReportOf(BatchOutcome::NoSettingsFile);
  if (board.status == FetchStatus::TooLarge) return ReportOf(BatchOutcome::BoardFileTooLarge);
  BatchReport report;
  report.exported = std::move(board.bytes);
  return report;
}

}  // namespace z4
