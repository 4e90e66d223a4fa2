#include "app/startup.h"

#include "app/config_dlg.h"
#include "app/shared_state.h"
#include "app/text_table.h"
#include "res/resource_ids.h"

namespace z4 {

void RunUtility(Ports& ports, DialogHost& host) {
  TextTable texts;
  CConfigDlg dialog(ports, texts);
  SharedState::SetSaveFolder("C:\\Z4");
  SharedState::SetTestAdjustMode(0);
  LoadTextTable(ports.files, ports.system, texts);
  // The result of the main window is not used: the program ends either way.
  host.RunModal(IDD_CONFIG, dialog);
}

}  // namespace z4
