// The maintenance panel: the right half of the main window, in test/adjust
// mode. Its check boxes make up a job for the board; execute starts it, stop
// takes it back, and the job tick (the main window's timer 1) waits for the
// board's end marker and opens what the job produced.
#pragma once

#include "core/bound_texts.h"
#include "core/ports.h"
#include "core/shared_state.h"
#include "jobs/job_file.h"
#include "panels/settings_panel.h"
#include "platform/dialog_view.h"

namespace z4 {

class MaintenancePanel {
 public:
  MaintenancePanel(Ports& ports, DialogView& view, BoundTexts& members, SettingsPanel& settings);

  // Button 1097.
  void Execute();
  // Button 1104.
  void Stop();
  // Timer 1 while a job runs in test/adjust mode.
  void JobTick();

  // The request the check boxes, radio pairs and number field make up.
  JobRequest CollectRequest();

 private:
  // Deletes a file from the board when it is there, then gives the board a
  // moment before anything else reaches it.
  void DeleteIfPresent(int kind, const char* name);
  // The settings panel after a settings job of this kind ended unfinished.
  void ShowSettingsAfter(JobKind kind);
  // A job of this kind that did not end with its end marker: its time ran
  // out, or the board went away.
  void EndUnfinished(JobKind kind);
  void ShowLevelGraph();
  void RunBoardInspection();

  Ports& ports_;
  DialogView& view_;
  BoundTexts& members_;
  SettingsPanel& settings_;
};

}  // namespace z4
