// The board pulled while the program waits on it, in every state that waits,
// in virtual time: the wait ends within two seconds of the pull, the way it
// ends on a failure, and the removal is then handled as the idle watch
// handles it.
#include <cstdio>
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

constexpr unsigned long kDriveE = 1ul << ('E' - 'A');

// One waiting state: the button pressed once the settings are shown (none for
// the opening's read) and the items checked before, the file operation that
// begins the wait (the board goes a second after its first one), and the
// message boxes that follow. The board stops answering once the settings are
// shown, except for the fetch, where it holds its image open. `told` has the
// system's notice say it instead, with the drive still answering.
struct Wait {
  const char* state;
  int press;
  std::vector<int> checks;
  const char* begins;
  std::vector<std::string> boxes;
  bool told = false;
};

constexpr char kMarker[] = "open E:\\Z4JOB.END";
const std::vector<std::string> kSetBoxes = {"not written", "board removed"};
const Wait kWaits[] = {
    {"the opening's read", 0, {}, kMarker, {"board removed"}},
    {"Set", IDC_SET, {}, kMarker, kSetBoxes},
    {"Set, told by the system", IDC_SET, {}, kMarker, kSetBoxes, true},
    {"a maintenance job", IDC_EXECUTE, {IDC_ITEM_SWLED}, kMarker, {}},
    {"the continuous feed", IDC_EXECUTE, {IDC_ITEM_FEED, IDC_FEED_CONTINUOUS}, kMarker, {}},
    {"the graph window's job", IDC_EXECUTE, {IDC_ITEM_WAVE}, kMarker, {}},
    {"the inspection's end-marker wait", IDC_EXECUTE, {IDC_ITEM_KIBAN}, kMarker, {}},
    {"the inspection's fetch", IDC_EXECUTE, {IDC_ITEM_KIBAN}, "copy E:\\QXR\\MB000001.png", {}},
};

class BoardPulledTest : public ::testing::TestWithParam<Wait>, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    files.AddDirectory("C:\\Program Files\\Z4");
    files.AddDrive('E');
    fakes::RegisterBoardNt(registry, 'E');
    texts.SetText(TextKey::ERROR_USB_WRITE_JAPAN, "not written");
    texts.SetText(TextKey::ERROR_USB_STOP_JAPAN, "board removed");
  }
  bool OpenUntilShown() {
    ui.Open(IDD_CONFIG, dialog);
    return ui.RunUntilTrue([&] { return ui.Main().Control(IDC_SET).enabled; }, 20000);
  }

  TextTable texts;
  CConfigDlg dialog{ports, texts};
  fakes::FakeUi ui{clock};
  std::optional<fakes::EmulatedBoard> board;
};

TEST_P(BoardPulledTest, TheWaitEndsWithinTwoSecondsAndTheRemovalIsHandledAsWhenIdle) {
  const Wait& w = GetParam();
  const bool fetch = std::string(w.begins).rfind("copy", 0) == 0;
  const bool adjust = w.press == IDC_EXECUTE;
  SharedState::SetTestAdjustMode(adjust ? 1 : 0);
  sim::BoardOptions options;
  options.never_end = w.press == 0;
  if (fetch) options.holds = {{"QXR\\MB000001.png", 600000}};
  board.emplace(files, clock, 'E', sim::Settings{}, options);
  std::int64_t begun = -1, pulled = -1, ended = -1;
  bool watching = w.press == 0;
  files.before_operation = [&](const std::string& op) {
    if (watching && begun < 0 && op.rfind(w.begins, 0) == 0) begun = clock.NowMs();
  };
  clock.AddActor(50, [&](std::int64_t now) {
    if (pulled >= 0 || begun < 0 || now < begun + 1000) return;
    pulled = now;
    if (w.told) {
      dialog.OnVolumesRemoved(kDriveE);
    } else {
      files.RemoveDrive('E');
    }
  });
  ui.after_timer = [&] {
    fakes::FakeDialog* top = ui.Top();
    const bool inspection = top && top->ResourceId() == IDD_KIBAN;
    if (pulled < 0 || ended >= 0) return;
    if (inspection ? top->Control(IDC_KIBAN_OK).enabled : !SharedState::GetJobRunning()) {
      ended = clock.NowMs();
      if (inspection) top->EndDialog(kResultOk);
    }
  };
  if (w.press != 0) {
    ASSERT_TRUE(OpenUntilShown());
    if (!fetch) board.reset();
    watching = true;
    ui.Main().Control(IDC_FEED_ONESHOT).checked = false;
    ui.Main().Control(IDC_NUMBER).text = "1234";
    for (int id : w.checks) ui.Main().Control(id).checked = true;
    ui.Click(w.press);
  } else {
    ui.Open(IDD_CONFIG, dialog);
  }
  ASSERT_TRUE(ui.RunUntilTrue([&] { return ended >= 0; }, 120000));
  ui.RunFor(1000);
  std::printf("%s: the wait ended %lld ms after the pull\n", w.state,
              static_cast<long long>(ended - pulled));
  EXPECT_LE(ended - pulled, 2000);
  std::vector<std::string> boxes;
  for (const auto& box : ui.Boxes()) boxes.push_back(box.text);
  EXPECT_EQ(boxes, w.boxes);
  EXPECT_EQ(ui.Main().Ended(), !adjust) << "user mode ends after the message";
  EXPECT_EQ(SharedState::GetDeviceState(), 0) << "the board is searched for again";
  EXPECT_FALSE(ui.Main().Control(IDC_SET).enabled);
}

INSTANTIATE_TEST_SUITE_P(EveryWait, BoardPulledTest, ::testing::ValuesIn(kWaits));

TEST_F(BoardPulledTest, OnlyTheNoticeOfTheBoardsVolumeEndsTheIdleProgramAtTheNextTick) {
  board.emplace(files, clock, 'E');
  ASSERT_TRUE(OpenUntilShown());
  dialog.OnVolumesRemoved(~kDriveE);
  ui.RunFor(1000);
  EXPECT_TRUE(ui.Boxes().empty());
  dialog.OnVolumesRemoved(kDriveE);
  const std::int64_t told = clock.NowMs();
  ASSERT_TRUE(ui.RunUntilClosed(1000));
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_LE(ui.Boxes()[0].at - told, 100) << "the drive still answers its probe";
}

}  // namespace
}  // namespace z4
