// Test/adjust mode in virtual time: the main window with its maintenance
// panel against the emulated board on drive E.
#include <gtest/gtest.h>
#include <optional>

#include "app/config_dlg.h"
#include "core/shared_state.h"
#include "device/file_exchange.h"
#include "fakes/board_registration.h"
#include "fakes/fake_board_storage.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_ui.h"
#include "jobs/job_start.h"
#include "res/resource_ids.h"
#include "sim/level_file.h"
#include "viewers/level_data.h"

namespace z4 {
namespace {

constexpr char kFolder[] = "C:\\Program Files\\Z4";

class AdjustModeFlowTest : public ::testing::Test, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    SharedState::SetTestAdjustMode(1);
    SharedState::SetLanguageFlag(1);
    files.AddDirectory(kFolder);
    files.AddDrive('E');
    fakes::RegisterBoardNt(registry, 'E');
    ui.on_create = [](fakes::FakeDialog& d) {
      if (d.ResourceId() == IDD_GRAPH) d.drawing_areas[IDC_GRAPH_FRAME] = Rect{0, 0, 935, 498};
    };
  }
  void PlugBoard(sim::BoardOptions options = {}) {
    sim::Settings settings;
    settings.density = 85;
    board.emplace(files, clock, 'E', settings, std::move(options));
  }
  // Opens the window and waits until the board's settings are shown.
  bool OpenUntilShown() {
    ui.Open(IDD_CONFIG, dialog);
    return ui.RunUntilTrue([&] { return W().Control(IDC_EXECUTE).enabled; }, 20000);
  }
  fakes::FakeDialog& W() { return ui.Main(); }
  const std::vector<std::string>& Jobs() { return board->board().jobs(); }
  bool RunUntilIdle(std::int64_t max_ms = 60000) {
    return ui.RunUntilTrue([&] { return !SharedState::GetJobRunning(); }, max_ms);
  }
  int Opened(int resource_id) const {
    int n = 0;
    for (const auto& d : ui.Dialogs()) n += d.resource_id == resource_id;
    return n;
  }

  TextTable texts;
  CConfigDlg dialog{ports, texts};
  fakes::FakeUi ui{clock};
  std::optional<fakes::EmulatedBoard> board;
};

TEST_F(AdjustModeFlowTest, TheFullWindowReadsTheSettingsThroughTheJobTick) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  EXPECT_EQ(W().GetRect().Width(), ui.initial_window.Width()) << "not cut to its left half";
  EXPECT_FALSE(W().HasTimer(TIMER_CURSOR));
  EXPECT_EQ(W().Control(IDC_DENSITY_TRACKBAR).pos, 85);
  EXPECT_EQ(Opened(IDD_STATUS), 0) << "no status window in this mode";
  ASSERT_EQ(Jobs().size(), 1u);
  EXPECT_EQ(Jobs()[0], "SetDataOut:\r\nEnd:\r\n");
  EXPECT_FALSE(W().Control(IDC_STOP).enabled);
  EXPECT_TRUE(W().Control(IDC_ITEM_WAVE).enabled);
  EXPECT_TRUE(W().Control(IDC_FEED_ONESHOT).checked);
  EXPECT_TRUE(W().Control(IDC_MEMORY_ONESHOT).checked);
  EXPECT_EQ(W().Control(IDC_PANEL_TITLE).text,
            "TEST\xEF\xBD\xA5"
            "ADJUST MODE");
  EXPECT_EQ(W().Control(IDC_ITEM_WAVE).text, "HAKEI");
}

TEST_F(AdjustModeFlowTest, ExecuteWithNothingChosenCleansUpAndStartsNothing) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  files.AddFile("E:\\Z4.LOG", "old log");
  files.AddFile(std::string(kFolder) + "\\BackupZ4\\stale.txt", "x");
  ui.Click(IDC_EXECUTE);
  EXPECT_FALSE(files.Exists("E:\\Z4.LOG"));
  EXPECT_FALSE(files.Exists(std::string(kFolder) + "\\BackupZ4\\stale.txt"));
  EXPECT_FALSE(SharedState::GetJobRunning());
  EXPECT_TRUE(W().Control(IDC_EXECUTE).enabled) << "the panel stays usable";
  EXPECT_EQ(Jobs().size(), 1u);
}

// The board may still be reading a job file or writing its log when the
// panel deletes it: half a second passes before the panel goes on.
TEST_F(AdjustModeFlowTest, ExecuteAndStopWaitHalfASecondAfterDeletingTheBoardsFiles) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  std::vector<std::size_t> pauses_before;  // at each deletion
  files.before_operation = [&](const std::string& op) {
    if (op == "delete E:\\Z4.JOB" || op == "delete E:\\Z4.LOG") {
      pauses_before.push_back(clock.Pauses().size());
    }
  };
  for (const auto& [button, deletions] : {std::pair{IDC_EXECUTE, 2u}, {IDC_STOP, 1u}}) {
    files.AddFile("E:\\Z4.JOB", "stale");
    files.AddFile("E:\\Z4.LOG", "old log");
    clock.ClearPauseLog();
    pauses_before.clear();
    ui.Click(button);
    ASSERT_EQ(pauses_before.size(), deletions) << button;
    for (const std::size_t next : pauses_before) {
      ASSERT_LT(next, clock.Pauses().size()) << button;
      EXPECT_GE(clock.Pauses()[next], 500u) << button;
    }
  }
}

TEST_F(AdjustModeFlowTest, SeveralItemsMakeOneJobThatRunsUntilItsEndMarker) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  W().Control(IDC_ITEM_SWLED).checked = true;
  W().Control(IDC_ITEM_INFO).checked = true;
  W().Control(IDC_ITEM_MEMORY).checked = true;
  W().ChooseRadio(IDC_MEMORY_CONTINUOUS, IDC_MEMORY_ONESHOT);
  ui.Click(IDC_EXECUTE);
  EXPECT_TRUE(SharedState::GetJobRunning());
  EXPECT_FALSE(W().Control(IDC_EXECUTE).enabled);
  EXPECT_TRUE(W().Control(IDC_STOP).enabled);
  EXPECT_TRUE(files.Exists("E:\\Z4.JOB")) << "delivered by the job start";
  ASSERT_TRUE(RunUntilIdle());
  ASSERT_EQ(Jobs().size(), 2u);
  EXPECT_EQ(Jobs()[1], "SWTest:F\r\nImageTest:F\r\nCalDataOut:\r\nEnd:\r\n");
  EXPECT_FALSE(files.Exists("E:\\Z4.JOB"));
  EXPECT_FALSE(files.Exists("E:\\Z4JOB.END"));
  EXPECT_TRUE(W().Control(IDC_EXECUTE).enabled);
  EXPECT_EQ(SharedState::GetCursorState(), CursorState::kRestoreArrow);
}

TEST_F(AdjustModeFlowTest, BoardInspectionWithoutANumberDoesNothingAfterTheCleanUp) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  W().Control(IDC_ITEM_KIBAN).checked = true;
  W().Control(IDC_ITEM_CCD).checked = true;  // ignored beside the board inspection
  files.AddFile("E:\\Z4.JOB", "stale");
  ui.Click(IDC_EXECUTE);
  EXPECT_FALSE(files.Exists("E:\\Z4.JOB"));
  EXPECT_FALSE(SharedState::GetJobRunning());
  for (const auto& job : Jobs()) EXPECT_EQ(job.find("CCDAdj"), std::string::npos) << "no CCD job";
  EXPECT_EQ(SharedState::GetEnteredFileName(), "");
}

TEST_F(AdjustModeFlowTest, BoardInspectionWithANumberRunsInItsOwnWindow) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  W().Control(IDC_ITEM_KIBAN).checked = true;
  W().Control(IDC_ITEM_SWLED).checked = true;  // ignored beside the board inspection
  W().Control(IDC_NUMBER).text = "1234";
  bool running_inside = false;
  ui.on_child_open = [&](fakes::FakeDialog& d) {
    if (d.ResourceId() != IDD_KIBAN) return;
    running_inside = SharedState::GetJobRunning();
    d.EndDialog(kResultOk);
  };
  ui.Click(IDC_EXECUTE);
  EXPECT_EQ(Opened(IDD_KIBAN), 1);
  EXPECT_TRUE(running_inside) << "the main window's timers leave the board alone meanwhile";
  EXPECT_FALSE(SharedState::GetJobRunning());
  EXPECT_EQ(SharedState::GetEnteredFileName(), "1234");
  EXPECT_TRUE(W().Control(IDC_EXECUTE).enabled);
  ui.RunFor(3000);
  for (const auto& job : Jobs()) EXPECT_EQ(job.find("SWTest:F"), std::string::npos);
}

TEST_F(AdjustModeFlowTest, AWaveformJobOpensTheGraphAndClosingItDeletesTheLevelFile) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  W().Control(IDC_ITEM_WAVE).checked = true;
  int graph_labels_ok = 0;
  ui.on_child_open = [&](fakes::FakeDialog& graph) {
    if (graph.ResourceId() != IDD_GRAPH) return;
    graph_labels_ok = graph.Control(IDC_LEVEL_AXIS_10).text == "255.0" &&
                      graph.Control(IDC_SAMPLE_AXIS_10).text == "1728" &&
                      graph.Control(IDC_BLACK_LEVEL).text == "BlackLevel:012";
    EXPECT_TRUE(files.Exists("E:\\Z4.CSV"));
    EXPECT_EQ(Levels().count, sim::kGeneratedLevelCount);
    EXPECT_EQ(Levels().values[864], sim::GeneratedLevel(864));
    graph.EndDialog(kResultOk);
  };
  ui.Click(IDC_EXECUTE);
  EXPECT_EQ(SharedState::GetJobKind(), JobKind::kWaveform);
  ASSERT_TRUE(RunUntilIdle());
  ASSERT_TRUE(ui.RunUntilTrue([&] { return Opened(IDD_GRAPH) == 1 && ui.Top() == &W(); }, 20000));
  EXPECT_EQ(graph_labels_ok, 1);
  EXPECT_EQ(Jobs()[1], "Lamp:ON\r\nWait:3\r\nWave:\r\nEnd:\r\n");
  EXPECT_FALSE(files.Exists("E:\\Z4.CSV"));
  EXPECT_FALSE(W().HasTimer(TIMER_JOB));
  EXPECT_TRUE(W().Control(IDC_EXECUTE).enabled);
}

TEST_F(AdjustModeFlowTest, AWaveformJobWithoutLevelFileOpensNoGraph) {
  sim::BoardOptions options;
  options.level_file = "";  // the board writes an empty file...
  PlugBoard(options);
  ASSERT_TRUE(OpenUntilShown());
  W().Control(IDC_ITEM_WAVE).checked = true;
  // ...which the PC never finds: it is gone before the end marker comes.
  files.before_operation = [&](const std::string& op) {
    if (op == "open E:\\Z4JOB.END") files.Delete("E:\\Z4.CSV");
  };
  ui.Click(IDC_EXECUTE);
  ASSERT_TRUE(RunUntilIdle());
  ui.RunFor(500);
  EXPECT_EQ(Opened(IDD_GRAPH), 0);
  EXPECT_TRUE(W().Control(IDC_EXECUTE).enabled);
}

TEST_F(AdjustModeFlowTest, AContinuousFeedTestRunsUntilStop) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  W().Control(IDC_ITEM_FEED).checked = true;
  W().ChooseRadio(IDC_FEED_CONTINUOUS, IDC_FEED_ONESHOT);
  ui.Click(IDC_EXECUTE);
  EXPECT_EQ(SharedState::GetJobTimeLimit(), -1);
  ui.RunFor(120000);
  EXPECT_TRUE(SharedState::GetJobRunning()) << "no end marker, no time limit";
  EXPECT_TRUE(files.Exists("E:\\Z4.JOB"));
  EXPECT_EQ(Jobs()[1], "Stop:F\r\nFeed:F\r\nWait:5\r\nRepeat:Feed\r\nEnd:\r\n");
  ui.Click(IDC_STOP);
  EXPECT_FALSE(SharedState::GetJobRunning());
  EXPECT_FALSE(files.Exists("E:\\Z4.JOB"));
  EXPECT_FALSE(W().HasTimer(TIMER_JOB));
  EXPECT_TRUE(W().Control(IDC_EXECUTE).enabled);
  ui.RunFor(2000);
  EXPECT_FALSE(files.Exists("E:\\Z4JOB.END")) << "the board stops without an end marker";
}

TEST_F(AdjustModeFlowTest, StopRepeatsTheSettingsReloadForTheLastJobKind) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  ASSERT_EQ(SharedState::GetJobKind(), JobKind::kSettingsRead) << "the read job was the last one";
  W().ChooseRadio(IDC_FEED_CONTINUOUS, IDC_FEED_ONESHOT);
  const char* kReload = "find C:\\Program Files\\Z4\\Z4.INI";  // a load with reload looks here
  const int loads = files.CountOps(kReload);
  SharedState::SetDeviceState(DeviceState::kReading);
  ui.Click(IDC_STOP);
  EXPECT_EQ(SharedState::GetDeviceState(), DeviceState::kWatching);
  EXPECT_EQ(files.CountOps(kReload), loads + 1);
  EXPECT_TRUE(W().Control(IDC_FEED_ONESHOT).checked) << "a reload selects the one-shot radios";
  ui.Click(IDC_STOP);
  EXPECT_EQ(files.CountOps(kReload), loads + 2) << "and again, JobKind kept its value";
}

TEST_F(AdjustModeFlowTest, ASettingsJobThatNeverEndsStopsAtItsTimeLimitWithTheDefaults) {
  sim::BoardOptions options;
  options.never_end = true;
  PlugBoard(options);
  ui.Open(IDD_CONFIG, dialog);
  ASSERT_TRUE(ui.RunUntilTrue([] { return SharedState::GetJobRunning(); }, 5000));
  const std::int64_t started = clock.NowMs();
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(SharedState::GetJobTicks(), 80);
  // 80 ticks of 100 ms, each with a 150 ms look for the end marker before the last.
  EXPECT_GE(clock.NowMs() - started, 80 * 100);
  EXPECT_TRUE(SharedState::GetUseDefaults());
  EXPECT_EQ(W().Control(IDC_DENSITY_TRACKBAR).pos, 75) << "the defaults, not the board's 85";
  EXPECT_TRUE(W().Control(IDC_EXECUTE).enabled);
  EXPECT_FALSE(W().HasTimer(TIMER_JOB));
  EXPECT_EQ(SharedState::GetCursorState(), CursorState::kRestoreArrow);
}

TEST_F(AdjustModeFlowTest, SetWritesThroughTheJobTickAndAdoptsTheValues) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  ui.Scroll(IDC_DENSITY_TRACKBAR, 72);
  ui.Click(IDC_SET);
  EXPECT_EQ(SharedState::GetJobKind(), JobKind::kSettingsWrite);
  EXPECT_TRUE(files.Exists("E:\\Z4.INI")) << "delivered before the job";
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(board->board().settings().density, 72);
  EXPECT_EQ(SharedState::GetDeviceSettings().Density, 72);
  EXPECT_FALSE(files.Exists("E:\\Z4.INI"));
}

TEST_F(AdjustModeFlowTest, ABoardInspectionAfterAOneShotJobShowsTheCapture) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  W().Control(IDC_ITEM_SWLED).checked = true;  // a one-shot job: job kind 0
  ui.Click(IDC_EXECUTE);
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(SharedState::GetJobKind(), JobKind::kOther);
  EXPECT_FALSE(W().HasTimer(TIMER_JOB)) << "timer 1 stops at the end of every job";

  W().Control(IDC_ITEM_SWLED).checked = false;
  W().Control(IDC_ITEM_KIBAN).checked = true;
  W().Control(IDC_NUMBER).text = "1234";
  fakes::FakeDialog* inspection = nullptr;
  std::int64_t opened_at = 0;
  std::string shown;
  bool main_job_timer = true;
  ui.on_child_open = [&](fakes::FakeDialog& d) {
    if (d.ResourceId() != IDD_KIBAN) return;
    inspection = &d;
    opened_at = clock.NowMs();
    main_job_timer = W().HasTimer(TIMER_JOB);
  };
  // The window is closed once it shows its result, or after a minute without one.
  ui.after_timer = [&] {
    if (!inspection) return;
    if (!inspection->Control(IDC_KIBAN_OK).enabled && clock.NowMs() - opened_at < 60000) return;
    shown = inspection->images.drawn_file;
    inspection->EndDialog(kResultOk);
    inspection = nullptr;
  };
  ui.Click(IDC_EXECUTE);
  EXPECT_FALSE(main_job_timer) << "the inspection runs with no timer 1 of the main window";
  EXPECT_NE(shown, "") << "the captured image is shown";
  EXPECT_EQ(Jobs().size(), 3u);
}

TEST_F(AdjustModeFlowTest, AnUnfinishedWriteShowsTheCurrentSettingsAgainAtStopAndTimeLimit) {
  for (const bool by_stop : {true, false}) {
    SCOPED_TRACE(by_stop ? "stop" : "time limit");
    SharedState::Reset();
    SharedState::SetTestAdjustMode(1);
    SharedState::SetLanguageFlag(1);
    sim::BoardOptions options;
    options.never_end = true;
    PlugBoard(options);
    CConfigDlg window(ports, texts);
    fakes::FakeUi here(clock);
    here.Open(IDD_CONFIG, window);
    // The read job never ends either: its time limit gives the panel back.
    ASSERT_TRUE(here.RunUntilTrue([&] { return here.Main().Control(IDC_EXECUTE).enabled; }, 60000));
    here.Main().ChooseRadio(IDC_FEED_CONTINUOUS, IDC_FEED_ONESHOT);
    const int current = SharedState::GetDeviceSettings().Density;
    here.Scroll(IDC_DENSITY_TRACKBAR, current == 72 ? 73 : 72);
    here.Click(IDC_SET);
    ASSERT_EQ(SharedState::GetJobKind(), JobKind::kSettingsWrite);
    if (by_stop) {
      here.RunFor(1000);
      here.Click(IDC_STOP);
    } else {
      ASSERT_TRUE(here.RunUntilTrue([] { return !SharedState::GetJobRunning(); }, 60000));
      EXPECT_EQ(SharedState::GetJobTicks(), 80);
    }
    EXPECT_EQ(here.Main().Control(IDC_DENSITY_TRACKBAR).pos, current)
        << "the current settings are shown again";
    EXPECT_TRUE(here.Main().Control(IDC_FEED_CONTINUOUS).checked) << "without a reload";
    EXPECT_FALSE(here.Main().HasTimer(TIMER_JOB));
    EXPECT_TRUE(here.Main().Control(IDC_EXECUTE).enabled);
  }
}

TEST_F(AdjustModeFlowTest, TheNumberFieldGivesTenCharactersToTheInspectionsFileName) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  W().Control(IDC_ITEM_KIBAN).checked = true;
  W().Control(IDC_NUMBER).text = "123456789012";
  std::string entered;
  fakes::FakeDialog* inspection = nullptr;
  ui.on_child_open = [&](fakes::FakeDialog& d) {
    if (d.ResourceId() == IDD_KIBAN) {
      entered = SharedState::GetEnteredFileName();
      inspection = &d;
    } else if (d.ResourceId() == IDD_FILENAME) {
      d.Control(IDC_FILENAME_EDIT).text = "ab";
      d.Handler().OnCommand(IDC_FILENAME_SET, 0);
    }
  };
  ui.save_answer = std::nullopt;  // the user looks at the proposed name and cancels
  ui.after_timer = [&] {
    if (!inspection || !inspection->Control(IDC_KIBAN_OK).enabled) return;
    inspection->Handler().OnCommand(IDC_KIBAN_OK, 0);
    inspection->EndDialog(kResultOk);
    inspection = nullptr;
  };
  ui.Click(IDC_EXECUTE);
  EXPECT_EQ(entered, "1234567890");
  ASSERT_EQ(ui.save_requests.size(), 1u);
  EXPECT_EQ(ui.save_requests[0].default_name, "1234567890ab.tif") << "the board keeps TIFF";
}

// --- Rules of the settings flow that matter in this mode as well

TEST_F(AdjustModeFlowTest, AWriteTheBoardDidNotTakeLeavesTheDefaultsForTheNextLoad) {
  // User mode: the status window times out on a board that never ends.
  SharedState::SetTestAdjustMode(0);
  sim::BoardOptions options;
  options.never_end = true;
  PlugBoard(options);
  ui.Open(IDD_CONFIG, dialog);
  ASSERT_TRUE(ui.RunUntilTrue([&] { return W().Control(IDC_SET).enabled; }, 60000));
  SharedState::SetUseDefaults(false);
  ui.message_box_ms = 10;
  ui.Click(IDC_SET);
  ASSERT_TRUE(ui.RunUntilTrue([&] { return !ui.Boxes().empty(); }, 60000));
  EXPECT_TRUE(SharedState::GetUseDefaults()) << "the board's file is not trusted after this";
}

TEST_F(AdjustModeFlowTest, TheOneShotRadiosAreSelectedOnlyByAReload) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  W().ChooseRadio(IDC_FEED_CONTINUOUS, IDC_FEED_ONESHOT);
  W().ChooseRadio(IDC_MEMORY_CONTINUOUS, IDC_MEMORY_ONESHOT);
  ui.Scroll(IDC_DENSITY_TRACKBAR, 72);
  W().Control(IDC_YEAR_LIST).text = "1999";  // an impossible date: Set shows the settings again
  ui.Click(IDC_SET);
  EXPECT_EQ(W().Control(IDC_DENSITY_TRACKBAR).pos, 85) << "back to the current settings";
  EXPECT_TRUE(W().Control(IDC_FEED_CONTINUOUS).checked) << "a show without reload keeps them";
  EXPECT_TRUE(W().Control(IDC_MEMORY_CONTINUOUS).checked);
}

TEST_F(AdjustModeFlowTest, ATickThatEndsTheWindowStillDoesTheRestOfItsWork) {
  SharedState::SetTestAdjustMode(0);
  files.RemoveDrive('E');
  ui.Open(IDD_CONFIG, dialog);  // no board: the window ends at its first tick
  ASSERT_TRUE(SharedState::GetCloseOnTick());
  SharedState::SetCursorState(CursorState::kRestoreArrow);
  ui.RunUntilClosed(1000);
  EXPECT_EQ(W().Result(), kResultOk);
  EXPECT_EQ(SharedState::GetCursorState(), CursorState::kIdle)
      << "the cursor step of the same tick ran";
  EXPECT_EQ(ui.cursor, CursorShape::Arrow);
}

TEST_F(AdjustModeFlowTest, StartingAJobTrustsTheBoardsFileAgain) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  SharedState::SetUseDefaults(true);
  W().Control(IDC_ITEM_SWLED).checked = true;
  ui.Click(IDC_EXECUTE);
  ASSERT_TRUE(SharedState::GetJobRunning());
  EXPECT_FALSE(SharedState::GetUseDefaults());
}

}  // namespace
}  // namespace z4
