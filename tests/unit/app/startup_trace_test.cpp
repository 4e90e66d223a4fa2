// The marks of the start-up trace, and what the main window has done by each:
// the window is complete where the user can see it when it is first painted,
// and the work left for after that is done before any timer of it fires.
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

#include "app/config_dlg.h"
#include "app/startup.h"
#include "batch/batch_outcome.h"
#include "core/shared_state.h"
#include "fakes/board_registration.h"
#include "fakes/fake_dialog_host.h"
#include "fakes/fake_file_appender.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_ui.h"
#include "fakes/fake_wall_clock.h"
#include "fakes/recording_startup_trace.h"
#include "res/resource_ids.h"

namespace z4 {
namespace {

constexpr const char* kFolder = "C:\\Program Files\\Z4";

// What the window looked like at one mark.
struct Seen {
  size_t years = 0;
  size_t days = 0;
  std::string year_text;
  bool year_list_enabled = true;
  bool set_enabled = true;
  std::string set_text;
  std::string ccd_text;
  std::vector<int> added;
  bool timer_fired = false;
};

class StartupTraceTest : public ::testing::Test, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    files.AddDirectory(kFolder);
    files.AddDrive('E');
    fakes::RegisterBoardNt(registry, 'E');
    texts.SetText(TextKey::BUTTON_SET, "Set");
    SharedState::SetLanguageFlag(1);
    ui.after_timer = [this] { timer_fired_ = true; };
    trace.on_mark = [this](const std::string& phase) {
      if (!ui.Top()) return;
      fakes::FakeDialog& w = *ui.Top();
      seen[phase] = Seen{w.Control(IDC_YEAR_LIST).list.size(),
                         w.Control(IDC_DAY_LIST).list.size(),
                         w.Control(IDC_YEAR_LIST).text,
                         w.Control(IDC_YEAR_LIST).enabled,
                         w.Control(IDC_SET).enabled,
                         w.Control(IDC_SET).text,
                         w.Control(IDC_ITEM_CCD).text,
                         w.AddedControls(),
                         timer_fired_};
    };
  }

  fakes::RecordingStartupTrace trace;
  Ports ports{registry, system, files, clock, trace};
  TextTable texts;
  CConfigDlg dialog{ports, texts};
  fakes::FakeUi ui{clock};
  std::map<std::string, Seen> seen;
  bool timer_fired_ = false;
};

TEST_F(StartupTraceTest, UserModeMarksEachStepOfTheOpeningInOrder) {
  ui.Open(IDD_CONFIG, dialog);
  ui.RunFor(0);
  EXPECT_EQ(trace.phases, (std::vector<std::string>{
                              "dialog-created", "icon", "members", "window-cut", "discovery",
                              "texts", "date-lists-emptied", "controls-disabled", "backup-folder",
                              "timers", "first-paint", "maintenance-panel", "date-lists"}));
}

TEST_F(StartupTraceTest, AtTheFirstPaintEveryVisibleControlIsReady) {
  ui.Open(IDD_CONFIG, dialog);
  ui.RunFor(0);
  ASSERT_TRUE(seen.count("first-paint"));
  const Seen& paint = seen["first-paint"];
  EXPECT_EQ(paint.set_text, "Set");
  EXPECT_FALSE(paint.set_enabled);
  EXPECT_FALSE(paint.year_list_enabled);
  EXPECT_EQ(paint.year_text, "") << "the lists show nothing until the settings arrive";
  EXPECT_EQ(paint.years, 0u) << "entries come after the paint; no opened list shows them";
  EXPECT_TRUE(paint.added.empty()) << "the maintenance panel, out of sight, comes after it too";
  EXPECT_EQ(paint.ccd_text, "") << "nothing is written to a control not yet made";
  EXPECT_FALSE(paint.timer_fired);
}

TEST_F(StartupTraceTest, WhatComesAfterThePaintIsDoneBeforeAnyTimerFires) {
  auto& window = ui.Open(IDD_CONFIG, dialog);
  ui.RunFor(100);  // the watch timer is due at 100 ms
  const Seen& done = seen["date-lists"];
  EXPECT_EQ(done.years, 1000u);
  EXPECT_EQ(done.days, 31u);
  EXPECT_EQ(done.added, std::vector<int>{IDD_MAINTENANCE_PANEL});
  EXPECT_EQ(done.ccd_text, "CCD");
  EXPECT_FALSE(done.timer_fired);
  // The added panel is as the opening leaves it in test/adjust mode: disabled.
  for (int id : {IDC_ITEM_CCD, IDC_EXECUTE, IDC_STOP, IDC_NUMBER, IDC_FEED_ONESHOT}) {
    EXPECT_FALSE(window.Control(id).enabled) << id;
  }
  EXPECT_EQ(window.Control(IDC_NUMBER).text_limit, 10);
}

TEST_F(StartupTraceTest, TestAdjustModeHasTheMaintenancePanelBeforeItsTextsAreApplied) {
  SharedState::SetTestAdjustMode(1);
  ui.Open(IDD_CONFIG, dialog);
  ui.RunFor(0);
  EXPECT_EQ(trace.phases,
            (std::vector<std::string>{"dialog-created", "icon", "members", "texts",
                                      "date-lists-emptied", "controls-disabled", "backup-folder",
                                      "timers", "first-paint", "date-lists"}));
  EXPECT_EQ(seen["icon"].added, std::vector<int>{IDD_MAINTENANCE_PANEL});
  EXPECT_EQ(seen["first-paint"].ccd_text, "CCD") << "the panel shows: ready when painted";
  EXPECT_EQ(seen["first-paint"].years, 0u);
  EXPECT_EQ(seen["date-lists"].years, 1000u);
}

// What every window relies on, as the fake windows model it: its first paint
// and the work it leaves for after that come before any timer or input.
TEST(FirstPaintTest, NoTimerOrInputReachesAWindowBeforeTheWorkAfterItsFirstPaint) {
  struct Recorder : DialogHandler {
    bool OnInitDialog(DialogView& view) override { return view.StartTimer(1, 10), true; }
    bool HandlesPaint() const override { return true; }
    void OnPaint() override { events += "paint "; }
    void OnShown() override { events += "shown "; }
    void OnTimer(int) override { events += "timer "; }
    void OnCommand(int, int) override { events += "input "; }
    std::string events;
  };
  for (const bool input_first : {false, true}) {
    fakes::VirtualClock clock;
    fakes::FakeUi ui{clock};
    Recorder recorder;
    ui.Open(1, recorder);
    EXPECT_EQ(recorder.events, "");
    input_first ? ui.Click(1) : ui.RunFor(10);
    EXPECT_EQ(recorder.events, input_first ? "paint shown input " : "paint shown timer ");
  }
}

// The whole program, started as the user starts it.
class StartupTraceRunTest : public StartupTraceTest {
 protected:
  int Run(const std::string& options) {
    system.command_line = "\"C:\\Program Files\\Z4\\Z4Utility.exe\"" + options;
    return RunUtility(ports, host);
  }
  fakes::FakeDialogHost host{ui};
};

TEST_F(StartupTraceRunTest, TheTextTableIsMarkedBeforeTheWindowIsMade) {
  ui.after_timer = [this] {
    if (!trace.phases.empty() && trace.phases.back() == "date-lists") ui.PressCancel();
  };
  EXPECT_EQ(Run(""), kExitDone);
  ASSERT_GE(trace.phases.size(), 2u);
  EXPECT_EQ(trace.phases[0], "text-table");
  EXPECT_EQ(trace.phases[1], "dialog-created");
  EXPECT_EQ(trace.phases.back(), "date-lists");
}

TEST_F(StartupTraceRunTest, ARefusedCommandLineMarksOnlyTheTextTable) {
  EXPECT_EQ(Run(" /nonsense"), kExitRefused);
  EXPECT_EQ(trace.phases, std::vector<std::string>{"text-table"});
}

}  // namespace
}  // namespace z4
