// The whole user mode in virtual time: the utility's main window against the
// emulated board on drive E.
#include <gtest/gtest.h>
#include <optional>

#include "app/config_dlg.h"
#include "core/shared_state.h"
#include "fakes/board_registration.h"
#include "fakes/fake_board_storage.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_ui.h"
#include "res/resource_ids.h"

namespace z4 {
namespace {

const std::string kFolder = "C:\\Program Files\\Z4";
const std::string kHistory = kFolder + "\\History\\";

class UserModeFlowTest : public ::testing::Test, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    files.AddDirectory("C:\\Program Files\\Z4");
    files.AddDrive('E');
    fakes::RegisterBoardNt(registry, 'E');
    texts.SetText(TextKey::SLIDER_MIN, " min");
    texts.SetText(TextKey::SLIDER_SECOND, " s");
    texts.SetText(TextKey::ERROR_USB_INITIALIZE, "no board");
    texts.SetText(TextKey::ERROR_USB_WRITE_JAPAN, "not written");
    texts.SetText(TextKey::ERROR_USB_STOP_JAPAN, "board removed");
    texts.SetText(TextKey::ERROR_USB_CAPTION_JAPAN, "Z-4");
  }

  void PlugBoard(const sim::Settings& settings = {}, sim::BoardOptions options = {}) {
    board.emplace(files, clock, 'E', settings, options);
  }
  // Opens the window and waits until the panel can be used.
  bool OpenUntilShown(std::int64_t max_ms = 10000) {
    ui.Open(IDD_CONFIG, dialog);
    return ui.RunUntilTrue([&] { return Window().Control(IDC_SET).enabled; }, max_ms);
  }
  fakes::FakeDialog& Window() { return ui.Main(); }
  std::string Log() const {
    const std::string log = files.Contents(kFolder + std::string("\\Z4Utility.log")).value_or("");
    return log.substr(std::min<std::size_t>(log.size(), 3));
  }
  int StatusWindows() const {
    int n = 0;
    for (const auto& d : ui.Dialogs()) n += d.resource_id == IDD_STATUS;
    return n;
  }
  const fakes::FakeUi::Opened& LastStatus() const {
    for (auto it = ui.Dialogs().rbegin(); it != ui.Dialogs().rend(); ++it) {
      if (it->resource_id == IDD_STATUS) return *it;
    }
    static const fakes::FakeUi::Opened none{0, -1};
    return none;
  }

  TextTable texts;
  CConfigDlg dialog{ports, texts};
  fakes::FakeUi ui{clock};
  std::optional<fakes::EmulatedBoard> board;
};

TEST_F(UserModeFlowTest, BoardSettingsAreShownChangedSentAndTheUnplugEndsTheProgram) {
  sim::Settings initial;
  initial.density = 80;
  initial.ccfl_off_minutes = 45;
  initial.ccfl_stab_seconds = 30;
  initial.file_format = 'T';
  initial.setting = 'V';
  initial.file_date = "2008/02/29 13:14:15";
  initial.image_move = 'Y';
  PlugBoard(initial);

  ASSERT_TRUE(OpenUntilShown());
  auto& w = Window();
  EXPECT_EQ(w.Control(IDC_DENSITY_TRACKBAR).pos, 80);
  EXPECT_EQ(w.Control(IDC_DENSITY_VALUE).text, "80%");
  EXPECT_EQ(w.Control(IDC_OFFTIME_TRACKBAR).pos, 3);
  EXPECT_EQ(w.Control(IDC_OFFTIME_VALUE).text, "45 min");
  EXPECT_EQ(w.Control(IDC_STABTIME_TRACKBAR).pos, 3);
  EXPECT_EQ(w.Control(IDC_STABTIME_VALUE).text, "30 s");
  EXPECT_TRUE(w.Control(IDC_FORMAT_TIFF).checked);
  EXPECT_FALSE(w.Control(IDC_FORMAT_PNG).checked);
  EXPECT_TRUE(w.Control(IDC_SETTING_1).checked);
  EXPECT_TRUE(w.Control(IDC_IMAGEMOVE_1).checked);
  EXPECT_EQ(w.Control(IDC_YEAR_LIST).text, "2008");
  EXPECT_EQ(w.Control(IDC_MONTH_LIST).text, "2");
  EXPECT_EQ(w.Control(IDC_DAY_LIST).text, "29");
  ui.RunFor(50);  // the cursor timer puts the arrow back
  EXPECT_EQ(ui.cursor, CursorShape::Arrow);
  EXPECT_TRUE(ui.Boxes().empty());
  EXPECT_EQ(StatusWindows(), 1);
  EXPECT_EQ(LastStatus().result, 1);
  ASSERT_EQ(board->board().jobs().size(), 1u);
  EXPECT_EQ(board->board().jobs()[0], "SetDataOut:\r\nEnd:\r\n");
  for (const char* name : {"E:\\Z4.JOB", "E:\\Z4JOB.END", "E:\\Z4.INI", "E:\\Z4Dummy.TXT"}) {
    EXPECT_FALSE(files.Exists(name)) << name << " left on the board";
  }

  // The user changes all seven settings and presses Set.
  ui.Scroll(IDC_DENSITY_TRACKBAR, 85);
  EXPECT_EQ(w.Control(IDC_DENSITY_VALUE).text, "85%");
  ui.Scroll(IDC_OFFTIME_TRACKBAR, 8);
  EXPECT_EQ(w.Control(IDC_OFFTIME_VALUE).text, "120 min");
  ui.Scroll(IDC_STABTIME_TRACKBAR, 1);
  w.ChooseRadio(IDC_FORMAT_PNG, IDC_FORMAT_TIFF);
  w.ChooseRadio(IDC_SETTING_0, IDC_SETTING_1);
  w.ChooseRadio(IDC_IMAGEMOVE_0, IDC_IMAGEMOVE_1);
  w.SetText(IDC_YEAR_LIST, "2010");
  w.SetText(IDC_MONTH_LIST, "7");
  w.SetText(IDC_DAY_LIST, "4");
  EXPECT_EQ(SharedState::GetDeviceSettings().Density, 80) << "scrolling changes nothing stored";
  ui.Click(IDC_SET);
  EXPECT_FALSE(w.Control(IDC_SET).enabled) << "disabled while the write job runs";
  ASSERT_TRUE(ui.RunUntilTrue([&] { return w.Control(IDC_SET).enabled; }, 10000));

  sim::Settings expected;
  expected.density = 85;
  expected.ccfl_off_minutes = 120;
  expected.ccfl_stab_seconds = 10;
  expected.file_format = 'P';
  expected.setting = 'H';
  expected.file_date = "2010/07/04 00:00:00";
  expected.image_move = 'N';
  EXPECT_EQ(board->board().settings(), expected);
  ASSERT_EQ(board->board().jobs().size(), 3u) << "the write, then its read-back";
  EXPECT_EQ(board->board().jobs()[1], "SetDataIn:\r\nEnd:\r\n");
  EXPECT_EQ(board->board().jobs()[2], "SetDataOut:\r\nEnd:\r\n");
  EXPECT_EQ(SharedState::GetDeviceSettings().FileDate, "2010/07/04 00:00:00");
  EXPECT_EQ(SharedState::GetDeviceSettings().CCFLOffTim, 120);
  EXPECT_FALSE(files.Exists("E:\\Z4.INI")) << "the written settings file is cleared away";
  EXPECT_TRUE(ui.Boxes().empty());

  // Unplugged: two failed probes, message kind 2, and the program ends.
  files.RemoveDrive('E');
  const std::int64_t unplugged = clock.NowMs();
  ASSERT_TRUE(ui.RunUntilClosed(2000));
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "board removed");
  EXPECT_EQ(ui.Boxes()[0].caption, "Z-4");
  EXPECT_LE(ui.Boxes()[0].at - unplugged, 300);
  EXPECT_EQ(w.Result(), kResultOk);
  EXPECT_FALSE(w.Control(IDC_SET).enabled);
}

TEST_F(UserModeFlowTest, ABoardThatNeverAnswersGivesResultTwoAtTheEightiethTickAndTheDefaults) {
  sim::Settings initial;
  initial.density = 88;
  sim::BoardOptions silent;
  silent.never_end = true;
  PlugBoard(initial, silent);

  ASSERT_TRUE(OpenUntilShown(60000));
  const auto& status = LastStatus();
  EXPECT_EQ(status.result, 2);
  EXPECT_EQ(status.closed_at - status.opened_at, 40000) << "80 ticks of 500 ms";
  EXPECT_EQ(Window().Control(IDC_DENSITY_TRACKBAR).pos, 75) << "the defaults, not the board's";
  EXPECT_EQ(Window().Control(IDC_DENSITY_VALUE).text, "75%");
  EXPECT_TRUE(ui.Boxes().empty());
  EXPECT_EQ(SharedState::GetDeviceState(), DeviceState::kWatching)
      << "the board is watched all the same";
}

TEST_F(UserModeFlowTest, AWriteTheBoardNeverAcknowledgesIsReportedAndUndone) {
  sim::Settings initial;
  initial.density = 72;
  PlugBoard(initial);
  ASSERT_TRUE(OpenUntilShown());
  board.reset();  // the board stops working through jobs but stays plugged in

  ui.Scroll(IDC_DENSITY_TRACKBAR, 90);
  ui.Click(IDC_SET);
  ASSERT_TRUE(ui.RunUntilTrue([&] { return Window().Control(IDC_SET).enabled; }, 60000));
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "not written");
  EXPECT_EQ(LastStatus().result, 2);
  EXPECT_EQ(Window().Control(IDC_DENSITY_TRACKBAR).pos, 72) << "back to the previous values";
  EXPECT_EQ(SharedState::GetDeviceSettings().Density, 72);
  EXPECT_FALSE(files.Exists("E:\\Z4.INI")) << "the unread settings file is deleted";
  EXPECT_EQ(Log(),
            "2024-05-01 13:45:07\tE\tset\t" + kHistory +
                "000001_2024-05-01_134507_E_before.ini\tnot known whether written: the board did "
                "not finish the write\r\n");
}

// Every Set keeps what the board held and what it took, and says in the log
// what changed; the history holds the newest 500 files, and one that cannot
// be written never stops a Set.
TEST_F(UserModeFlowTest, ASetIsKeptInTheHistoryAndInTheLog) {
  sim::Settings initial;
  initial.density = 80;
  PlugBoard(initial);
  for (int i = 0; i < 499; ++i) {
    files.AddFile(
        kHistory + "2020-01-01_000" + std::to_string(1000 + i).substr(1) + "_E_before.ini", "");
  }
  ASSERT_TRUE(OpenUntilShown());
  const auto set_density = [&](int density) {
    ui.Scroll(IDC_DENSITY_TRACKBAR, density);
    ui.Click(IDC_SET);
    ASSERT_TRUE(ui.RunUntilTrue([&] { return Window().Control(IDC_SET).enabled; }, 60000));
  };
  set_density(85);
  const std::string stem = kHistory + "000001_2024-05-01_134507_E_";
  EXPECT_EQ(files.Contents(stem + "before.ini"), sim::SettingsFileText(initial));
  EXPECT_NE(files.Contents(stem + "after.ini").value_or("").find("Density:85\r\n"),
            std::string::npos);
  EXPECT_EQ(files.List(kHistory).size(), 500u);
  EXPECT_FALSE(files.Exists(kHistory + "2020-01-01_000000_E_before.ini")) << "the oldest goes";
  EXPECT_EQ(Log(),
            "2024-05-01 13:45:07\tE\tset\t" + stem + "before.ini\tdone: Density 80\u219285\r\n");

  files.SetReadOnly(kHistory, true);
  set_density(90);
  EXPECT_EQ(board->board().settings().density, 90) << "the Set went on";
  EXPECT_TRUE(ui.Boxes().empty());
  EXPECT_NE(Log().find("\tset\t-\tdone: Density 85\u219290; history not written\r\n"),
            std::string::npos)
      << Log();
}

TEST_F(UserModeFlowTest, ASetThatCannotBeLoggedIsToldOnce) {
  PlugBoard();
  files.AddFile(kFolder + "\\Z4Utility.log", "");
  files.SetReadOnly(kFolder + "\\Z4Utility.log", true);
  ASSERT_TRUE(OpenUntilShown());
  for (int density : {85, 90}) {
    ui.Scroll(IDC_DENSITY_TRACKBAR, density);
    ui.Click(IDC_SET);
    ASSERT_TRUE(ui.RunUntilTrue([&] { return Window().Control(IDC_SET).enabled; }, 60000));
  }
  EXPECT_EQ(board->board().settings().density, 90) << "the Sets went on";
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_NE(ui.Boxes()[0].text.find(kFolder + "\\Z4Utility.log"), std::string::npos);
}

TEST_F(UserModeFlowTest, TwentyFiveFailedSearchesGiveTheDefaultsAndSetReportsTheMissingBoard) {
  PlugBoard();
  ui.Open(IDD_CONFIG, dialog);
  files.RemoveDrive('E');  // found when the window opened, gone right after
  ASSERT_TRUE(ui.RunUntilTrue([&] { return Window().Control(IDC_SET).enabled; }, 10000));
  EXPECT_EQ(clock.NowMs(), 2500) << "25 searches of the 100 ms device watch";
  EXPECT_EQ(SharedState::GetDeviceState(), DeviceState::kReading);
  EXPECT_EQ(Window().Control(IDC_DENSITY_VALUE).text, "75%");
  EXPECT_TRUE(ui.Boxes().empty());

  const int searches = files.CountOps("cd E:");
  ui.RunFor(1000);
  EXPECT_EQ(files.CountOps("cd E:"), searches) << "no longer watched";
  EXPECT_EQ(ui.cursor, CursorShape::Arrow);

  ui.Click(IDC_SET);
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "not written");
  EXPECT_FALSE(Window().Control(IDC_SET).enabled);
  EXPECT_EQ(SharedState::GetDeviceState(), DeviceState::kSearching) << "the watch searches again";
}

TEST_F(UserModeFlowTest, OneFailedProbeIsCheckedAgainTwoTicksLater) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  std::vector<std::int64_t> probes;
  files.before_operation = [&](const std::string& op) {
    if (op == "cd E:") probes.push_back(clock.NowMs());
  };
  ui.RunFor(300);
  ASSERT_GE(probes.size(), 2u);
  EXPECT_EQ(probes[1] - probes[0], 100) << "every tick while the board answers";

  probes.clear();
  files.RemoveDrive('E');
  ui.RunFor(100);  // one failed probe
  ASSERT_EQ(probes.size(), 1u);
  files.AddDrive('E');
  ui.RunFor(400);
  ASSERT_EQ(probes.size(), 4u);
  EXPECT_EQ(probes[1] - probes[0], 200) << "the next probe two ticks later";
  EXPECT_EQ(probes[2] - probes[1], 100) << "then every tick again";
  EXPECT_FALSE(Window().Ended());

  // A single miss later is a first miss again; two in a row end the program.
  files.RemoveDrive('E');
  ui.RunFor(100);
  files.AddDrive('E');
  ui.RunFor(1000);
  EXPECT_FALSE(Window().Ended());
  files.RemoveDrive('E');
  ASSERT_TRUE(ui.RunUntilClosed(300));
  EXPECT_EQ(ui.Boxes().size(), 1u);
}

TEST_F(UserModeFlowTest, ALampOffTimeOffTheStepsShowsItsValueAndSetWritesTheStep) {
  sim::Settings initial;
  initial.ccfl_off_minutes = 40;
  PlugBoard(initial);
  ASSERT_TRUE(OpenUntilShown());
  EXPECT_EQ(Window().Control(IDC_OFFTIME_VALUE).text, "40 min");
  EXPECT_EQ(Window().Control(IDC_OFFTIME_TRACKBAR).pos, 2);
  EXPECT_EQ(Window().Control(IDC_YEAR_LIST).text, "2004");
  EXPECT_EQ(Window().Control(IDC_MONTH_LIST).text, "1");
  ui.Click(IDC_SET);
  ASSERT_TRUE(ui.RunUntilTrue([&] { return board->board().jobs().size() == 3; }, 10000));
  ASSERT_TRUE(ui.RunUntilTrue([&] { return Window().Control(IDC_SET).enabled; }, 10000));
  EXPECT_EQ(board->board().settings().ccfl_off_minutes, 30);
  EXPECT_EQ(board->board().settings().file_date, "2004/01/01 00:00:00")
      << "an unchanged date is written back with the time 00:00:00";
}

TEST_F(UserModeFlowTest, AnImpossibleTypedDateWritesNothing) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  Window().SetText(IDC_MONTH_LIST, "4");
  Window().SetText(IDC_DAY_LIST, "31");
  ui.Scroll(IDC_DENSITY_TRACKBAR, 88);
  ui.Click(IDC_SET);
  ui.RunFor(5000);
  EXPECT_EQ(board->board().jobs().size(), 1u) << "no write job";
  EXPECT_TRUE(ui.Boxes().empty()) << "a silent return";
  EXPECT_EQ(Window().Control(IDC_DAY_LIST).text, "1") << "back to the current settings";
  EXPECT_EQ(Window().Control(IDC_DENSITY_TRACKBAR).pos, 75);
  EXPECT_TRUE(Window().Control(IDC_SET).enabled);
}

TEST_F(UserModeFlowTest, DraggingThenCancellingWritesNothing) {
  PlugBoard();
  ASSERT_TRUE(OpenUntilShown());
  ui.Scroll(IDC_STABTIME_TRACKBAR, 12);
  EXPECT_EQ(Window().Control(IDC_STABTIME_VALUE).text, "120 s");
  ui.Click(IDC_CANCEL_BUTTON);
  ASSERT_TRUE(ui.RunUntilClosed(1000));
  EXPECT_EQ(board->board().jobs().size(), 1u);
  EXPECT_EQ(board->board().settings().ccfl_stab_seconds, 20);
}

// The board pulled three seconds into each wait on it, in either mode (in one
// row only the system's notice of the removal comes, the drive still
// answering): the wait ends within two seconds, the way it ends on a failure,
// and the removal is then handled as the idle watch handles it. The board
// stops answering once the settings are shown, except while the inspection
// fetches its image, which the board holds open.
struct Wait {
  const char* state;
  int press;  // once the settings are shown; 0: the opening's read
  std::vector<int> checks;
  std::vector<std::string> boxes;
  bool fetch = false;
  bool told = false;
};
const std::vector<std::string> kSetBoxes = {"not written", "board removed"};
const Wait kWaits[] = {
    {"opening read", 0, {}, {"board removed"}},
    {"Set", IDC_SET, {}, kSetBoxes},
    {"Set told by the system", IDC_SET, {}, kSetBoxes, false, true},
    {"maintenance job", IDC_EXECUTE, {IDC_ITEM_SWLED}, {}},
    {"continuous feed", IDC_EXECUTE, {IDC_ITEM_FEED, IDC_FEED_CONTINUOUS}, {}},
    {"graph window job", IDC_EXECUTE, {IDC_ITEM_WAVE}, {}},
    {"inspection end-marker wait", IDC_EXECUTE, {IDC_ITEM_KIBAN}, {}},
    {"inspection fetch", IDC_EXECUTE, {IDC_ITEM_KIBAN}, {}, true},
};
void PrintTo(const Wait& w, std::ostream* os) {
  *os << w.state;
}

class PulledBoardTest : public UserModeFlowTest, public ::testing::WithParamInterface<Wait> {};

TEST_P(PulledBoardTest, TheWaitEndsWithinTwoSecondsThenTheRemovalIsHandledAsWhenIdle) {
  const Wait& w = GetParam();
  SharedState::SetTestAdjustMode(w.press == IDC_EXECUTE ? 1 : 0);
  sim::BoardOptions options;
  options.never_end = w.press == 0;
  options.holds = {{"QXR\\MB000001.tif", 600000}};
  PlugBoard({}, options);
  std::int64_t start = w.press == 0 ? 0 : 1ll << 40, pulled = -1, ended = -1;
  auto done = [&] {
    fakes::FakeDialog* top = ui.Top();
    const bool inspection = top && top->ResourceId() == IDD_KIBAN;
    return inspection ? top->Control(IDC_KIBAN_OK).enabled : !SharedState::GetJobRunning();
  };
  clock.AddActor(50, [&](std::int64_t now) {
    if (pulled >= 0 || now < start + 3000) return;
    EXPECT_FALSE(done()) << "the wait is still on when the board goes";
    pulled = now;
    w.told ? dialog.OnVolumesRemoved(1ul << ('E' - 'A')) : files.RemoveDrive('E');
  });
  ui.after_timer = [&] {
    if (pulled < 0 || ended >= 0 || !done()) return;
    ended = clock.NowMs();
    if (ui.Top()->ResourceId() == IDD_KIBAN) ui.Top()->EndDialog(kResultOk);
  };
  if (w.press == 0) ui.Open(IDD_CONFIG, dialog);
  if (w.press != 0) {
    ASSERT_TRUE(OpenUntilShown());
    if (!w.fetch) board.reset();
    Window().Control(IDC_FEED_ONESHOT).checked = false;
    Window().Control(IDC_NUMBER).text = "1234";
    for (int id : w.checks) Window().Control(id).checked = true;
    start = clock.NowMs();
    ui.Click(w.press);
  }
  ASSERT_TRUE(ui.RunUntilTrue([&] { return ended >= 0; }, 120000));
  ui.RunFor(1000);
  EXPECT_LE(ended - pulled, 2000);
  std::vector<std::string> boxes;
  for (const auto& box : ui.Boxes()) boxes.push_back(box.text);
  EXPECT_EQ(boxes, w.boxes);
  EXPECT_EQ(Window().Ended(), w.press != IDC_EXECUTE) << "user mode ends after the message";
  EXPECT_EQ(SharedState::GetDeviceState(), DeviceState::kSearching)
      << "the board is looked for again";
}

INSTANTIATE_TEST_SUITE_P(EveryWait, PulledBoardTest, ::testing::ValuesIn(kWaits));

}  // namespace
}  // namespace z4
