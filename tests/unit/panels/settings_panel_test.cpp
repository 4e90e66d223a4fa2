// The settings panel on its own: what it shows for values the controls cannot
// hold, what Set then collects, and how it recovers when a job cannot start.
#include "panels/settings_panel.h"

#include <gtest/gtest.h>

#include "app/config_dlg.h"
#include "core/shared_state.h"
#include "fakes/board_registration.h"
#include "fakes/fake_board_storage.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_ui.h"
#include "res/resource_ids.h"

namespace z4 {
namespace {

class Blank : public DialogHandler {
 public:
  bool OnInitDialog(DialogView&) override { return true; }
};

class SettingsPanelTest : public ::testing::Test, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    files.AddDirectory("C:\\Program Files\\Z4");
    files.AddDrive('E');
    fakes::RegisterBoardNt(registry, 'E');
    texts.SetText(TextKey::SLIDER_MIN, "min");
    texts.SetText(TextKey::ERROR_USB_WRITE_JAPAN, "not written");
  }

  TextTable texts;
  fakes::FakeUi ui{clock};
};

TEST_F(SettingsPanelTest, ValuesOutsideTheControlsShowAsStoredAndSetWritesWhatTheControlsHold) {
  Blank blank;
  auto& window = ui.Open(IDD_CONFIG, blank);
  BoundTexts members;
  SettingsPanel panel(ports, window, members, texts);
  SettingsRecord odd;
  odd.Density = 95;
  odd.CCFLOffTim = 40;
  odd.CCFLStabTim = 25;
  odd.FileFormat = 2;
  odd.Setting = 7;
  odd.ImageMove = -1;
  odd.FileDate = "2004/01/01 00:00:00";
  SharedState::SetDeviceSettings(odd);

  panel.LoadAndShowSettings(false);
  EXPECT_EQ(window.Control(IDC_DENSITY_VALUE).text, "95%");
  EXPECT_EQ(window.Control(IDC_DENSITY_TRACKBAR).pos, 90) << "at the trackbar's end";
  EXPECT_EQ(window.Control(IDC_OFFTIME_VALUE).text, "40min");
  EXPECT_EQ(window.Control(IDC_OFFTIME_TRACKBAR).pos, 2);
  EXPECT_EQ(window.Control(IDC_STABTIME_TRACKBAR).pos, 2);
  EXPECT_TRUE(window.Control(IDC_FORMAT_TIFF).checked);
  EXPECT_FALSE(window.Control(IDC_FORMAT_PNG).checked);
  EXPECT_TRUE(window.Control(IDC_SETTING_0).checked);
  EXPECT_TRUE(window.Control(IDC_IMAGEMOVE_0).checked);
  EXPECT_EQ(window.Control(IDC_DENSITY_TRACKBAR).range_min, 70);
  EXPECT_EQ(window.Control(IDC_DENSITY_TRACKBAR).tic_frequency, 5);
  EXPECT_EQ(window.Control(IDC_STABTIME_TRACKBAR).range_max, 12);

  EXPECT_EQ(panel.CollectAndWrite(), 0);
  const SettingsRecord pending = SharedState::GetPendingSettings();
  EXPECT_EQ(pending.Density, 90);
  EXPECT_EQ(pending.CCFLOffTim, 30);
  EXPECT_EQ(pending.CCFLStabTim, 20);
  EXPECT_EQ(pending.FileFormat, 1);
  EXPECT_EQ(pending.Setting, 0);
  EXPECT_EQ(pending.ImageMove, 0);
  EXPECT_EQ(pending.FileDate, "2004/01/01 00:00:00");
  EXPECT_EQ(files.Contents("C:\\Program Files\\Z4\\BackupZ4\\Z4.INI"),
            "Density:90\r\nCCFLOffTim:030\r\nCCFLStabTim:020\r\nFileFormat:T\r\n"
            "Setting:H\r\nFileDate:2004/01/01 00:00:00\r\nImageMove:N\r\n");
}

TEST_F(SettingsPanelTest, TypedDatesAreCheckedAsACalendarDay) {
  Blank blank;
  auto& window = ui.Open(IDD_CONFIG, blank);
  BoundTexts members;
  SettingsPanel panel(ports, window, members, texts);
  struct Case {
    const char *year, *month, *day;
    int result;
  };
  for (const Case& c :
       {Case{"2004", "2", "29", 0}, Case{"2100", "2", "29", 1}, Case{"2000", "2", "29", 0},
        Case{"2010", "4", "31", 1}, Case{"1999", "12", "31", 1}, Case{"3000", "1", "1", 1},
        Case{"2010", "123", "1", 1}, Case{"2010", "07", "04", 0}, Case{"2010", "", "4", 1},
        Case{"２０１０", "1", "1", 1}, Case{"2010", "112", "1", 1}, Case{"2010", "1x", "1", 1},
        Case{"2010", "１", "1", 1}, Case{"02010", "1", "1", 1}}) {
    window.SetText(IDC_YEAR_LIST, c.year);
    window.SetText(IDC_MONTH_LIST, c.month);
    window.SetText(IDC_DAY_LIST, c.day);
    EXPECT_EQ(panel.CollectAndWrite(), c.result) << c.year << "/" << c.month << "/" << c.day;
  }
  // The refusal quotes what was typed, cut by characters, not bytes.
  window.SetText(IDC_YEAR_LIST, "２０１０２０１０２０１０");
  window.SetText(IDC_MONTH_LIST, "112");
  std::string reason;
  EXPECT_EQ(panel.CollectAndWrite(&reason), 1);
  EXPECT_EQ(reason, "no valid date: ２０１０２０１０２０/112/1");
  window.SetText(IDC_YEAR_LIST, "2010");
  window.SetText(IDC_MONTH_LIST, "7");
  window.SetText(IDC_DAY_LIST, "4");
  ASSERT_EQ(panel.CollectAndWrite(), 0);
  EXPECT_EQ(SharedState::GetPendingSettings().FileDate, "2010/07/04 00:00:00");
}

// A read job whose job file cannot be written never starts: the panel must not
// wait for it for ever.
TEST_F(SettingsPanelTest, AReadJobThatCannotStartShowsTheDefaultsInsteadOfHanging) {
  fakes::EmulatedBoard board(files, clock, 'E');
  files.AddDirectory("C:\\Program Files\\Z4\\BackupZ4");
  files.SetReadOnly("C:\\Program Files\\Z4\\BackupZ4", true);
  CConfigDlg dialog(ports, texts);
  auto& window = ui.Open(IDD_CONFIG, dialog);
  ASSERT_TRUE(ui.RunUntilTrue([&] { return window.Control(IDC_SET).enabled; }, 10000));
  EXPECT_EQ(window.Control(IDC_DENSITY_VALUE).text, "75%");
  EXPECT_EQ(SharedState::GetDeviceState(), DeviceState::kWatching) << "the board is still watched";
  ui.RunFor(100);
  EXPECT_EQ(ui.cursor, CursorShape::Arrow);
  EXPECT_TRUE(board.board().jobs().empty());
}

TEST_F(SettingsPanelTest, AWriteJobThatCannotStartIsReportedAndThePanelStaysUsable) {
  sim::Settings initial;
  initial.density = 84;
  fakes::EmulatedBoard board(files, clock, 'E', initial);
  CConfigDlg dialog(ports, texts);
  auto& window = ui.Open(IDD_CONFIG, dialog);
  ASSERT_TRUE(ui.RunUntilTrue([&] { return window.Control(IDC_SET).enabled; }, 10000));
  // The settings file can still be written; the job file cannot.
  files.AddFile("C:\\Program Files\\Z4\\BackupZ4\\Z4.JOB", "");
  files.SetReadOnly("C:\\Program Files\\Z4\\BackupZ4\\Z4.JOB", true);
  ui.Scroll(IDC_DENSITY_TRACKBAR, 70);
  ui.Click(IDC_SET);
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "not written");
  EXPECT_TRUE(window.Control(IDC_SET).enabled);
  EXPECT_EQ(window.Control(IDC_DENSITY_TRACKBAR).pos, 84);
  EXPECT_EQ(board.board().settings().density, 84);
  ui.RunFor(100);
  EXPECT_EQ(ui.cursor, CursorShape::Arrow);
}

}  // namespace
}  // namespace z4
