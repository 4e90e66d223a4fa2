#include "app/startup.h"

#include "batch/batch_messages.h"
#include "batch/batch_outcome.h"
#include "batch/batch_run.h"
#include "app/command_line.h"
#include "app/config_dlg.h"
#include "app/failure_message.h"
#include "core/run_lock.h"
#include "app/startup_messages.h"
#include "core/data_folder.h"
#include "core/shared_state.h"
#include "core/text_table.h"
#include "res/resource_ids.h"

namespace z4 {

int RunUtility(Ports& ports, DialogHost& host) {
  TextTable texts;
  CConfigDlg dialog(ports, texts);
  SharedState::SetSaveFolder("C:\\Z4");
  std::vector<std::string> args = SplitCommandLine(ports.system.CommandLine());
  if (!args.empty()) args.erase(args.begin());
  const ProgramOptions options = ReadProgramOptions(args);
  SharedState::SetTestAdjustMode(options.adjust ? 1 : 0);
  SharedState::SetDriveOption(options.drive);
  const bool data_folder_writable = ChooseDataFolder(ports);
  LoadTextTable(ports.files, ports.system, texts);
  ports.trace.Mark("text-table");
  // A run without the window tells of a failure in its own message (or, with
  // /quiet, only in its record): the windows it opens stay silent.
  host.SetFailureMessage(
      options.batch == BatchAction::None ? FailureMessageText(SharedState::GetLanguageFlag()) : "",
      kFailureCaption);
  if (!options.valid) {
    // Nothing on the board is touched: the user is told the accepted forms.
    RecordRefusedRun(ports, BatchRequestOf(options), options.rejected);
    if (!options.quiet) {
      host.ShowMessage(OptionsMessage(options, SharedState::GetLanguageFlag()), kOptionsCaption);
    }
    return kExitRefused;
  }
  if (options.batch != BatchAction::None) {
    return RunBatch(ports, host, texts, BatchRequestOf(options), data_folder_writable);
  }

  // Nothing the window does works without its data folder; and only one copy
  // at a time works with a board. In each case the window says why and ends
  // before it touches the working folder or the board.
  const int language = SharedState::GetLanguageFlag();
  const std::string folder = GetDataFolder(ports.system);
  if (!data_folder_writable) {
    host.ShowMessage(DataFolderMessage(folder, language), kOptionsCaption);
    return kExitNotWritten;
  }
  // The window holds the run lock for as long as it is open.
  const RunLock lock(ports.files, RunLockPath(folder));
  if (lock.state() == RunLock::State::Busy) {
    host.ShowMessage(AnotherCopyMessage(folder, language), kOptionsCaption);
    return kExitBusy;
  }
  if (lock.state() == RunLock::State::CannotCreate) {
    host.ShowMessage(LockFileMessage(lock.path(), language), kOptionsCaption);
    return kExitNotWritten;
  }
  // Otherwise the window's result is not used: the program ends either way.
  if (host.RunModal(IDD_CONFIG, dialog) == kResultFailed) return kExitFailed;
  return kExitDone;
}

}  // namespace z4
