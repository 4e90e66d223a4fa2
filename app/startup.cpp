#include "app/startup.h"

#include "app/batch_outcome.h"
#include "app/batch_run.h"
#include "app/command_line.h"
#include "app/config_dlg.h"
#include "app/failure_message.h"
#include "core/shared_state.h"
#include "core/text_table.h"
#include "res/resource_ids.h"

namespace z4 {

int RunUtility(Ports& ports, BatchPorts& batch, DialogHost& host) {
  TextTable texts;
  CConfigDlg dialog(ports, texts);
  SharedState::SetSaveFolder("C:\\Z4");
  std::vector<std::string> args = SplitCommandLine(ports.system.CommandLine());
  if (!args.empty()) args.erase(args.begin());
  const ProgramOptions options = ReadProgramOptions(args);
  SharedState::SetTestAdjustMode(options.adjust ? 1 : 0);
  SharedState::SetDriveOption(options.drive);
  LoadTextTable(ports.files, ports.system, texts);
  ports.trace.Mark("text-table");
  host.SetFailureMessage(FailureMessageText(SharedState::GetLanguageFlag()), kFailureCaption);
  if (!options.valid) {
    // Nothing on the board is touched: the user is told the accepted forms.
    RecordRefusedRun(ports, batch, options);
    if (!options.quiet) {
      host.ShowMessage(OptionsMessage(options, SharedState::GetLanguageFlag()), kOptionsCaption);
    }
    return kExitRefused;
  }
  if (options.batch != BatchAction::None) return RunBatch(ports, batch, host, texts, options);
  // The result of the main window is not used: the program ends either way.
  host.RunModal(IDD_CONFIG, dialog);
  return kExitDone;
}

}  // namespace z4
