#include "fakes/fake_dialog_host.h"

namespace z4::fakes {

int FakeDialogHost::RunModal(int resource_id, DialogHandler& handler) {
  runs.push_back(resource_id);
  FakeDialog& dialog = ui_.Open(resource_id, handler);
  if (!ui_.RunUntilClosed(24LL * 3600 * 1000)) return -1;
  return dialog.Result();
}

void FakeDialogHost::ShowMessage(const std::string& text, const std::string& caption) {
  boxes.push_back(Box{text, caption});
}

}  // namespace z4::fakes
