#include "app/settings_apply.h"

#include <optional>
#include <string>

#include "app/settings_job_run.h"
#include "core/backup_folder.h"
#include "core/shared_state.h"
#include "device/board_file_limits.h"
#include "device/file_exchange.h"
#include "settings/settings_file.h"

namespace z4 {
namespace {

// The board's settings file after a finished read job, fetched into the
// backup folder; nullopt when it could not be had.
std::optional<std::string> FetchBoardSettings(Ports& ports) {
  const TransferResult fetched = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  if (fetched.status != 0) return std::nullopt;
  return ports.files.ReadFile(fetched.path, kSettingsFileLimit);
}

}  // namespace

BatchReport ApplySettings(Ports& ports, DialogHost& host, const TextTable& texts,
                          const SettingsRecord& values) {
  const std::string backup = BackupFolderPath(ports.system);
  SettingsJobResult job = RunSettingsJob(ports, host, texts, false);
  if (job == SettingsJobResult::NotStarted)
    return ReportOf(BatchOutcome::LocalFilesNotWritten, backup);
  if (job == SettingsJobResult::TimedOut) {
    DeleteDeviceFile(ports, kDeleteSettings);
    return ReportOf(BatchOutcome::NoAnswer);
  }

  // What Set does, with the board's own file still in its root for the
  // rewrite to start from.
  EmptyBackupFolder(ports);
  SharedState::SetPendingSettings(values);
  if (SaveSettings(ports, values) != 0) {
    DeleteDeviceFile(ports, kDeleteSettings);
    return ReportOf(BatchOutcome::LocalFilesNotWritten, backup);
  }
  job = RunSettingsJob(ports, host, texts, true);
  // Taken or not, the written file does not stay on the board.
  DeleteDeviceFile(ports, kDeleteSettings);
  if (job == SettingsJobResult::NotStarted)
    return ReportOf(BatchOutcome::LocalFilesNotWritten, backup);
  if (job == SettingsJobResult::TimedOut) return ReportOf(BatchOutcome::NoAnswer);
  SharedState::SetDeviceSettings(values);

  job = RunSettingsJob(ports, host, texts, false);
  std::optional<std::string> read;
  if (job == SettingsJobResult::Finished) read = FetchBoardSettings(ports);
  DeleteDeviceFile(ports, kDeleteSettings);
  if (job == SettingsJobResult::NotStarted)
    return ReportOf(BatchOutcome::LocalFilesNotWritten, backup);
  if (job == SettingsJobResult::TimedOut) return ReportOf(BatchOutcome::NoAnswer);
  if (!read) return ReportOf(BatchOutcome::NoSettingsFile);

  BatchReport report;
  report.differences = CompareSettings(values, *read);
  if (!report.differences.empty()) report.outcome = BatchOutcome::ReadBackDiffers;
  return report;
}

}  // namespace z4
