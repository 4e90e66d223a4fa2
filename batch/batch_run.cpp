#include "batch/batch_run.h"

#include <algorithm>

#include "batch/batch_messages.h"
#include "batch/settings_apply.h"
#include "batch/settings_export.h"
#include "core/backup_folder.h"
#include "core/data_folder.h"
#include "core/run_lock.h"
#include "core/run_log.h"
#include "core/shared_state.h"
#include "device/board_file_limits.h"
#include "device/drive_discovery.h"
#include "device/file_exchange.h"
#include "settings/settings_file_check.h"

namespace z4 {
namespace {

// The run itself, once it holds the lock. `drive` receives the board's letter.
BatchReport RunWithBoard(Ports& ports, DialogHost& host, const TextTable& texts, BatchAction action,
                         const std::string& file, std::string& drive) {
  SettingsRecord values;
  if (action == BatchAction::Apply) {
    // Checked before anything goes near the board: a file that cannot be used
    // sends nothing. It is read with the limit of the board's own settings file.
    const auto bytes = ports.files.ReadFile(file, kSettingsFileLimit);
    if (!bytes) return ReportOf(BatchOutcome::FileUnreadable, file);
    SettingsFileCheck check = CheckSettingsFile(*bytes);
    if (!check.problems.empty()) {
      BatchReport report = ReportOf(BatchOutcome::FileInvalid, file);
      report.problems = std::move(check.problems);
      return report;
    }
    values = check.record;
  }

  // As when the main window opens: a clean backup folder, then the board.
  EmptyBackupFolder(ports);
  FindDeviceDrive(ports);
  BatchReport report = ReportOf(BatchOutcome::NoBoard);
  if (SharedState::GetDeviceFound() == 1) {
    drive = SharedState::GetDeviceDrive();
    report = action == BatchAction::Export ? ExportSettings(ports, host, texts)
                                           : ApplySettings(ports, host, texts, values);
  }
  // As when the main window closes.
  EmptyBackupFolder(ports);
  ports.files.RemoveEmptyDirectory(BackupFolderPath(ports.system));
  return report;
}

// The run with its failures caught: a step that does not get enough memory
// ends the run like any other failure, with its files cleaned up and its
// record written, and never with a message box that a /quiet run has not
// asked for.
BatchReport RunStopping(Ports& ports, DialogHost& host, const TextTable& texts, BatchAction action,
                        const std::string& file, std::string& drive) {
  try {
    return RunWithBoard(ports, host, texts, action, file, drive);
  } catch (...) {
    SharedState::SetJobRunning(false);
    SharedState::SetPanelBusy(0);
  }
  try {
    if (!drive.empty()) DeleteDeviceFile(ports, kDeleteSettings);
    EmptyBackupFolder(ports);
    ports.files.RemoveEmptyDirectory(BackupFolderPath(ports.system));
  } catch (...) {
    // What could not be cleaned up stays; the run still ends with its code.
  }
  return ReportOf(BatchOutcome::Stopped);
}

// The option's file as the system will use it, independent of the current folder.
std::string FileOf(Ports& ports, const BatchRequest& request) {
  return request.file.empty() ? std::string() : ports.files.FullPath(request.file);
}

// The exported bytes into FILE: the run's very last step, so that FILE is
// replaced only when everything else succeeded.
void ReplaceExportedFile(Ports& ports, BatchAction action, const std::string& file,
                         BatchReport& report) {
  if (action != BatchAction::Export || report.outcome != BatchOutcome::Done) return;
  bool replaced = false;
  try {
    replaced = ports.files.ReplaceFileContents(file, report.exported);
  } catch (...) {
    // The file holds its old bytes or all of the new ones; on a failure here,
    // the old.
    report = ReportOf(BatchOutcome::Stopped);
    return;
  }
  if (!replaced) report = ReportOf(BatchOutcome::FileNotWritten, file);
}

}  // namespace

int RunBatch(Ports& ports, DialogHost& host, const TextTable& texts, const BatchRequest& request,
             bool data_folder_writable) {
  const std::string folder = GetDataFolder(ports.system);
  const std::string file = FileOf(ports, request);
  BatchReport report;
  std::string drive;
  const OwnFile own =
      request.action == BatchAction::Export ? OwnFileOf(ports.system, file) : OwnFile::None;
  if (!data_folder_writable) {
    report = ReportOf(BatchOutcome::LocalFilesNotWritten, folder);
  } else if (own != OwnFile::None) {
    // A file the program keeps for itself is never replaced by an export.
    report = ReportOf(BatchOutcome::OwnFile, file);
    report.own = own;
  } else {
    const RunLock lock(ports.files, RunLockPath(folder));
    switch (lock.state()) {
      case RunLock::State::Held:
        report = RunStopping(ports, host, texts, request.action, file, drive);
        ReplaceExportedFile(ports, request.action, file, report);
        break;
      case RunLock::State::Busy:
        report = ReportOf(BatchOutcome::Busy);
        break;
      case RunLock::State::CannotCreate:
        report = ReportOf(BatchOutcome::LocalFilesNotWritten, lock.path());
        break;
    }
  }
  // The record comes first: it is there even while a message waits for the
  // user. A run that leaves no record (the log cannot be written, or there is
  // no memory to write it) says so, in its message and its code.
  bool logged = false;
  try {
    logged = AppendRunLog(
        ports.appender, folder,
        RunRecord{ports.wall_clock.Now(), drive, request.option, file, OutcomeText(report)});
  } catch (...) {
  }
  if (!logged) report.unlogged = folder + "\\Z4Utility.log";
  const bool failed = report.outcome != BatchOutcome::Done || !report.unlogged.empty();
  if (failed && !request.quiet) {
    host.ShowMessage(
        BatchMessage(report, request.action, drive, file, SharedState::GetLanguageFlag()),
        kProgramCaption);
  }
  const int code = ExitCodeOf(report.outcome);
  return report.unlogged.empty() ? code : std::max(code, static_cast<int>(kExitNotWritten));
}

void RecordRefusedRun(Ports& ports, const BatchRequest& request, const std::string& rejected) {
  if (request.option.empty()) return;
  AppendRunLog(ports.appender, GetDataFolder(ports.system),
               RunRecord{ports.wall_clock.Now(), "", request.option, FileOf(ports, request),
                         OutcomeText(ReportOf(BatchOutcome::Refused, rejected))});
}

}  // namespace z4
