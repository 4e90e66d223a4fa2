// The main window: settings panel on the left, maintenance panel on the right.
// It opens, finds the board, runs the timers that drive everything else, and
// cleans up the backup folder when it closes.
#pragma once

#include <memory>

#include "core/bound_texts.h"
#include "core/ports.h"
#include "core/text_table.h"
#include "panels/maintenance_panel.h"
#include "panels/settings_panel.h"
#include "platform/dialog_view.h"

namespace z4 {

class CConfigDlg : public DialogHandler {
 public:
  CConfigDlg(Ports& ports, const TextTable& texts);

  bool OnInitDialog(DialogView& view) override;
  void OnShown() override;
  void OnCommand(int id, int code) override;
  bool OnOk() override;
  void OnTimer(int id) override;
  void OnHScroll(int id) override;
  void OnVolumesRemoved(unsigned long unit_mask) override;
  bool OnSetCursor() override;
  void OnMouseMove() override;
  bool OnHelpButton() override;
  void OnDestroy() override;

 private:
  // Applies CursorState; true when it put up the wait cursor.
  bool ApplyCursorState();
  // Reads the controls back and ends the window with result 1.
  void EndTheStandardOkWay();

  Ports& ports_;
  const TextTable& texts_;
  DialogView* view_ = nullptr;
  BoundTexts members_;
  std::unique_ptr<SettingsPanel> settings_;
  std::unique_ptr<MaintenancePanel> maintenance_;
};

}  // namespace z4
