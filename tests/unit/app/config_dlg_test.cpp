#include "app/config_dlg.h"

#include <gtest/gtest.h>

#include "core/shared_state.h"
#include "fakes/board_registration.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_ui.h"
#include "res/resource_ids.h"

namespace z4 {
namespace {

constexpr const char* kFolder = "C:\\Program Files\\Z4";
constexpr const char* kBackup = "C:\\Program Files\\Z4\\BackupZ4";

class ConfigDlgTest : public ::testing::Test, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    files.AddDirectory(kFolder);
    files.AddDrive('E');
    fakes::RegisterBoardNt(registry, 'E');
    texts.SetText(TextKey::CONF_DIALOG, "Z-4 Settings");
    texts.SetText(TextKey::LBL_BOARD, "Board");
    texts.SetText(TextKey::BUTTON_SET, "Set");
    texts.SetText(TextKey::BUTTON_CANSEL, "Cancel");
    texts.SetText(TextKey::ERROR_USB_INITIALIZE, "No Z-4 found.");
    texts.SetText(TextKey::ERROR_USB_CAPTION_JAPAN, "Z-4");
    texts.SetText(TextKey::MODE_FONT, "Tahoma");
    texts.SetFontSize(90);
  }
  // Opened and shown: the work after its first paint is done.
  fakes::FakeDialog& Open() {
    auto& window = ui.Open(IDD_CONFIG, dialog);
    ui.RunFor(0);
    return window;
  }

  TextTable texts;
  CConfigDlg dialog{ports, texts};
  fakes::FakeUi ui{clock};
};

TEST_F(ConfigDlgTest, WithoutTheBoardOneMessageAndTheWindowEndsAtTheFirstTick) {
  files.RemoveDrive('E');
  Open();
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "No Z-4 found.");
  EXPECT_EQ(ui.Boxes()[0].caption, "Z-4");
  EXPECT_EQ(ui.Boxes()[0].at, 0) << "shown while the window opens";

  ASSERT_TRUE(ui.RunUntilClosed(1000));
  EXPECT_EQ(ui.Main().Result(), kResultOk);
  EXPECT_EQ(ui.Dialogs()[0].closed_at, 50) << "the cursor timer's first tick ends it";
  EXPECT_EQ(ui.Boxes().size(), 1u);
}

TEST_F(ConfigDlgTest, UserModeOpensCutToTheSettingsPanelWithEverythingDisabled) {
  auto& window = Open();
  EXPECT_TRUE(ui.Boxes().empty());

  const Rect r = window.GetRect();
  EXPECT_EQ(r.right - r.left, ui.initial_window.right / 2);
  EXPECT_EQ(r.bottom - r.top, ui.initial_window.bottom);
  EXPECT_EQ(r.left, (1024 - 359) / 2) << "centred after the cut";

  EXPECT_EQ(window.Caption(), "Z-4 Settings");
  EXPECT_EQ(window.Control(IDC_LBL_BOARD).text, "Board");
  EXPECT_EQ(window.Control(IDC_SET).text, "Set");
  EXPECT_EQ(window.Icon(), IDI_Z4UTILITY);
  EXPECT_EQ(window.FontFace(), "Tahoma");
  EXPECT_EQ(window.FontSize(), 90);
  EXPECT_TRUE(window.WindowFontApplied());
  EXPECT_TRUE(window.Control(IDC_LBL_BOARD).text_font);
  EXPECT_TRUE(window.Control(IDC_YEAR_LIST).text_font);

  for (int id : {IDC_SETTING_0,
                 IDC_SETTING_1,
                 IDC_FORMAT_PNG,
                 IDC_FORMAT_TIFF,
                 IDC_IMAGEMOVE_0,
                 IDC_IMAGEMOVE_1,
                 IDC_SET,
                 IDC_YEAR_LIST,
                 IDC_MONTH_LIST,
                 IDC_DAY_LIST,
                 IDC_OFFTIME_TRACKBAR,
                 IDC_STABTIME_TRACKBAR,
                 IDC_DENSITY_TRACKBAR,
                 IDC_ITEM_CCD,
                 IDC_ITEM_KIBAN,
                 IDC_EXECUTE,
                 IDC_STOP,
                 IDC_FEED_ONESHOT,
                 IDC_MEMORY_CONTINUOUS,
                 IDC_NUMBER}) {
    EXPECT_FALSE(window.Control(id).enabled) << id;
  }
  EXPECT_TRUE(window.Control(IDC_CANCEL_BUTTON).enabled);

  EXPECT_TRUE(window.HasTimer(TIMER_WATCH));
  EXPECT_EQ(window.TimerPeriod(TIMER_WATCH), 100u);
  EXPECT_EQ(window.TimerPeriod(TIMER_CURSOR), 50u);
  EXPECT_FALSE(window.HasTimer(TIMER_JOB));
  // Discovery at the opening found the board; the device watch finds it again.
  EXPECT_EQ(SharedState::GetDeviceDrive(), "");
  EXPECT_EQ(SharedState::GetDeviceFound(), 0);
}

TEST_F(ConfigDlgTest, DateListsHoldEveryYearMonthAndDayInOrder) {
  auto& window = Open();
  const auto& years = window.Control(IDC_YEAR_LIST).list;
  ASSERT_EQ(years.size(), 1000u);
  EXPECT_EQ(years.front(), "2000");
  EXPECT_EQ(years[1], "2001");
  EXPECT_EQ(years.back(), "2999");
  const auto& months = window.Control(IDC_MONTH_LIST).list;
  ASSERT_EQ(months.size(), 12u);
  EXPECT_EQ(months[1], "2") << "numeric order, not sorted as text";
  EXPECT_EQ(months.back(), "12");
  EXPECT_EQ(window.Control(IDC_DAY_LIST).list.size(), 31u);
}

TEST_F(ConfigDlgTest, MaintenanceTextsFollowTheLanguage) {
  SharedState::SetLanguageFlag(0);
  auto& japanese = Open();
  EXPECT_EQ(japanese.Control(IDC_PANEL_TITLE).text, "テスト・拡張モード");
  EXPECT_EQ(japanese.Control(IDC_ITEM_CALCLEAR).text, "キャリブレーションデータクリア");
  EXPECT_EQ(japanese.Control(IDC_STOP).text, "中断");

  SharedState::SetLanguageFlag(1);
  CConfigDlg second(ports, texts);
  fakes::FakeUi other(clock);
  auto& english = other.Open(IDD_CONFIG, second);
  other.RunFor(0);
  EXPECT_EQ(english.Control(IDC_PANEL_TITLE).text, "TEST\uFF65ADJUST MODE");
  EXPECT_EQ(english.Control(IDC_ITEM_FEED).text, "FIDO");
  EXPECT_EQ(english.Control(IDC_FEED_CONTINUOUS).text, "2SHOT");
  EXPECT_EQ(english.Control(IDC_NUMBER_LABEL).text, "No.");
}

TEST_F(ConfigDlgTest, WaitCursorStaysUntilTheStateSaysOtherwise) {
  Open();
  ui.RunFor(60);
  EXPECT_EQ(ui.cursor, CursorShape::Wait);
  // Over the window the wait cursor is kept, not handed to the default handling.
  EXPECT_TRUE(ui.SetCursorMessage());
  EXPECT_EQ(ui.cursor, CursorShape::Wait);

  SharedState::SetCursorState(CursorState::kRestoreArrow);
  EXPECT_FALSE(ui.SetCursorMessage());
  EXPECT_EQ(ui.cursor, CursorShape::Arrow);
  EXPECT_EQ(SharedState::GetCursorState(), CursorState::kIdle) << "the arrow is restored once";

  // The cursor timer restores it too, even while device work keeps the rest of
  // the timer handling away.
  SharedState::SetPanelBusy(1);
  SharedState::SetCursorState(CursorState::kWait);
  ui.RunFor(100);
  SharedState::SetCursorState(CursorState::kRestoreArrow);
  ui.RunFor(50);
  EXPECT_EQ(SharedState::GetCursorState(), CursorState::kIdle);
  EXPECT_EQ(ui.cursor, CursorShape::Arrow);
}

TEST_F(ConfigDlgTest, CancelStopsARunningJobAndEnds) {
  auto& window = Open();
  window.StartTimer(TIMER_JOB, 100);
  SharedState::SetJobRunning(true);
  ui.Click(IDC_CANCEL_BUTTON);
  EXPECT_FALSE(window.HasTimer(TIMER_JOB));
  ASSERT_TRUE(ui.RunUntilClosed(0));
  EXPECT_EQ(window.Result(), kResultOk);
}

TEST_F(ConfigDlgTest, EnterDoesNotCloseTheProgramButEscapeDoes) {
  auto& window = Open();
  ui.PressOk();
  EXPECT_FALSE(window.Ended());
  ui.PressCancel();
  EXPECT_TRUE(window.Ended());
  EXPECT_EQ(window.Result(), kResultCancel);
}

TEST_F(ConfigDlgTest, HelpButtonOpensTheHelpFileBesideTheProgram) {
  Open();
  EXPECT_TRUE(ui.HelpButton());
  ASSERT_EQ(system.opened_documents.size(), 1u);
  EXPECT_EQ(system.opened_documents[0], "C:\\Program Files\\Z4\\utility.chm");
  EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(ConfigDlgTest, ClosingEmptiesAndRemovesTheBackupFolder) {
  files.AddFile(std::string(kBackup) + "\\Z4.INI", "Density:75\r\n");
  auto& window = Open();
  EXPECT_FALSE(files.Exists(std::string(kBackup) + "\\Z4.INI")) << "emptied when opening";
  files.AddFile(std::string(kBackup) + "\\Z4.JOB", "End:\r\n");
  files.AddFile(std::string(kBackup) + "\\A.TXT", "first in the listing");
  ui.PressCancel();
  ASSERT_TRUE(ui.RunUntilClosed(0));
  EXPECT_FALSE(files.Exists(kBackup));
  EXPECT_FALSE(window.HasTimer(TIMER_WATCH));
  EXPECT_FALSE(window.HasTimer(TIMER_CURSOR));
}

TEST_F(ConfigDlgTest, ALockedFileKeepsTheBackupFolder) {
  const std::string locked = std::string(kBackup) + "\\Z4.CSV";
  files.AddFile(locked, "1,2,3");
  files.SetHeldOpen(locked, true);
  Open();
  ui.PressCancel();
  ASSERT_TRUE(ui.RunUntilClosed(0));
  EXPECT_TRUE(files.Exists(locked));
  EXPECT_TRUE(files.IsDirectory(kBackup));
}

TEST_F(ConfigDlgTest, TestAdjustModeKeepsTheWholeWindowAndLooksForNoBoardAtOpening) {
  files.RemoveDrive('E');
  SharedState::SetTestAdjustMode(1);
  auto& window = Open();
  EXPECT_TRUE(ui.Boxes().empty());
  EXPECT_EQ(window.GetRect().right - window.GetRect().left, ui.initial_window.right);
  EXPECT_FALSE(window.HasTimer(TIMER_CURSOR));
  EXPECT_TRUE(window.HasTimer(TIMER_WATCH));
  EXPECT_FALSE(window.Control(IDC_EXECUTE).enabled);
  EXPECT_FALSE(window.Control(IDC_STOP).enabled);
  ui.RunFor(500);
  EXPECT_FALSE(window.Ended());
}

}  // namespace
}  // namespace z4
