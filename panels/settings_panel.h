// The settings panel: the left half of the main window. It shows the board's
// settings, lets the user change them and sends them back with Set, and keeps
// the window in step with the board through the device watch.
#pragma once

#include "core/bound_texts.h"
#include "core/ports.h"
#include "core/text_table.h"
#include "panels/set_record.h"
#include "platform/dialog_view.h"

namespace z4 {

// Kinds of the device error message.
enum DeviceError { kNoDeviceAtStart = 0, kWriteFailed = 1, kDeviceRemoved = 2 };

class SettingsPanel {
 public:
  SettingsPanel(Ports& ports, DialogView& view, BoundTexts& members, const TextTable& texts);

  // Caption, labels and button texts from the text table, and the maintenance
  // panel's built-in texts in the language LanguageFlag chooses.
  void ApplyTexts();
  // The window holds the maintenance panel's controls from the start unless
  // told otherwise here; until MaintenancePanelAdded, texts and enabling leave
  // them out.
  void MaintenancePanelNotYetAdded() { maintenance_panel_ = false; }
  // Its controls are there now: they get their texts, as ApplyTexts gives them.
  void MaintenancePanelAdded();
  // The date lists in the text-table font, with no entries and nothing in
  // their edit fields: how they look until the settings arrive.
  void EmptyDateLists();
  // Their entries, appended to the emptied lists: years 2000 to 2999, months 1
  // to 12, days 1 to 31, in numeric order. Only an opened list shows them.
  void FillDateLists();
  // Enables or disables every panel control at once; Cancel is never disabled.
  void EnablePanelControls(bool enable);
  // A trackbar moved: its value label follows the position.
  void ValueLabels(int trackbar_id);
  // Message box of the given kind with OK only and no icon.
  void DeviceErrorMessage(int kind);

  // With reload, reads the settings first (defaults, program-folder file and,
  // unless UseDefaults, the board's file); then shows DeviceSettings.
  void LoadAndShowSettings(bool reload);
  // The Set button: collects the controls, writes the local settings file and
  // starts the settings write job.
  void Set();
  // 0 when the controls held a valid date and the settings file was written;
  // otherwise `reason` says which failed.
  int CollectAndWrite(std::string* reason = nullptr);

  // The main window's timer 2: find the board, have it write out its settings,
  // then watch it and end the program when it goes away (at once when a wait
  // on the board or the system has already seen it go).
  void DeviceWatch();
  // The main window's timer 1 in user mode: the status window for the started
  // settings job, then the panel updated from its outcome.
  void SettingsJobCompletion();

  // A Set is checked by reading the board back, in both modes: what it holds
  // is known only then.
  // A settings write job ended, with the board's end marker when `finished`;
  // a finished write makes the read-back due.
  void WriteJobEnded(bool finished);
  // Starts the read-back a finished write made due; true when its read job
  // runs (the panel stays disabled until it ends).
  bool StartDueReadBack();
  // True while the settings read job under way is a Set's read-back.
  bool ReadingBack() const { return reading_back_; }
  // The read-back ended, with the end marker when `finished`, otherwise for
  // `reason`: the panel shows what the board last reported, and the user is
  // told when the board does not hold what was written or could not be asked.
  void ReadBackEnded(bool finished, const std::string& reason);
  // The stop button ended the job under way.
  void SettingsJobStopped();
  // The window closes: a Set still under way is recorded as given up.
  void WindowClosing();

 private:
  void StartReadJob();
  void GiveUpSearching();
  void DeviceRemoved();
  void WriteJobNotDone();
  void ShowDate(const std::string& date);
  // Once per run: a Set could not be recorded in the log.
  void UnloggedMessage(const std::string& log);
  void SetMaintenanceTexts();

  // The text-table font for the window, and for each control a procedure writes.
  void UseTextFont();
  void SetControlText(int id, const std::string& text);
  void SetMemberText(int id, const std::string& text);

  Ports& ports_;
  DialogView& view_;
  BoundTexts& members_;
  const TextTable& texts_;
  bool maintenance_panel_ = true;
  SetRecord set_record_{ports_, [this](const std::string& log) { UnloggedMessage(log); }};
  bool closing_ = false;
  bool read_back_due_ = false;
  bool reading_back_ = false;
};

}  // namespace z4
