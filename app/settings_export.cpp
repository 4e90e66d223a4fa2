#include "app/settings_export.h"

#include <optional>

#include "app/settings_job_run.h"
#include "device/board_file_limits.h"
#include "device/file_exchange.h"

namespace z4 {

BatchReport ExportSettings(Ports& ports, DialogHost& host, const TextTable& texts,
                           const std::string& file) {
  BatchReport report;
  const SettingsJobResult job = RunSettingsJob(ports, host, texts, false);
  if (job == SettingsJobResult::NotStarted) {
    report.outcome = BatchOutcome::LocalFilesNotWritten;
    report.subject = BackupFolderPath(ports.system);
    return report;
  }
  std::optional<std::string> bytes;
  if (job == SettingsJobResult::Finished) {
    const TransferResult fetched = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
    if (fetched.status == 0) bytes = ports.files.ReadFile(fetched.path, kSettingsFileLimit);
  }
  // The settings have been read: the board's file goes, as when the window
  // has shown them.
  DeleteDeviceFile(ports, kDeleteSettings);
  if (job == SettingsJobResult::TimedOut) {
    report.outcome = BatchOutcome::NoAnswer;
  } else if (!bytes) {
    report.outcome = BatchOutcome::NoSettingsFile;
  } else if (!ports.files.ReplaceFileContents(file, *bytes)) {
    report.outcome = BatchOutcome::FileNotWritten;
    report.subject = file;
  }
  return report;
}

}  // namespace z4
