#include "jobs/status_dlg.h"

#include <gtest/gtest.h>

#include "core/shared_state.h"
#include "fakes/fake_board_storage.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_ui.h"
#include "res/resource_ids.h"

namespace z4 {
namespace {

constexpr const char* kBackup = "C:\\Program Files\\Z4\\BackupZ4";

// The main window, only there to run the status window modally from.
class Owner : public DialogHandler {
 public:
  bool OnInitDialog(DialogView& view) override {
    view_ = &view;
    return true;
  }
  int Run(CStatusDlg& status) { return view_->RunModal(IDD_STATUS, status); }

 private:
  DialogView* view_ = nullptr;
};

class StatusDlgTest : public ::testing::Test, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    files.AddDrive('E');
    files.AddFile(std::string(kBackup) + "\\Z4.JOB", "SetDataIn:\r\nEnd:\r\n");
    files.AddFile(std::string(kBackup) + "\\Z4.INI", "Density:80\r\n");
    SharedState::SetDeviceDrive("E");
    SharedState::SetDeviceFound(1);
    SharedState::SetJobTimeLimit(80);
    texts.SetText(TextKey::USB_INI_DIALOG, "Z-4");
    texts.SetText(TextKey::USB_INI_FILE_READ, "Reading");
    texts.SetText(TextKey::USB_INI_FILE_WRITE, "Writing");
    ui.Open(IDD_CONFIG, owner);
    ui.on_child_open = [&](fakes::FakeDialog& d) {
      caption = d.Caption();
      message = d.Control(IDC_STATUS_MESSAGE).text;
    };
  }
  std::vector<std::string> Deliveries() const {
    std::vector<std::string> to;
    for (const auto& op : files.log) {
      if (op.rfind("copy ", 0) == 0) to.push_back(op.substr(op.find("-> ") + 3));
    }
    return to;
  }
  int Run() {
    CStatusDlg status(ports, texts);
    return owner.Run(status);
  }

  TextTable texts;
  Owner owner;
  fakes::FakeUi ui{clock};
  std::string caption, message;
};

TEST_F(StatusDlgTest, AReadDeliversOnlyTheJobFile) {
  SharedState::SetStatusKind(StatusKind::kRead);
  EXPECT_EQ(Run(), CStatusDlg::kTimedOut);
  EXPECT_EQ(Deliveries(), std::vector<std::string>{"E:\\Z4.JOB"});
  EXPECT_EQ(caption, "Z-4");
  EXPECT_EQ(message, "Reading");
}

TEST_F(StatusDlgTest, AWriteDeliversTheSettingsBeforeTheJob) {
  SharedState::SetStatusKind(StatusKind::kWrite);
  Run();
  EXPECT_EQ(Deliveries(), (std::vector<std::string>{"E:\\Z4.INI", "E:\\Z4.JOB"}));
  EXPECT_EQ(message, "Writing");
  EXPECT_EQ(files.Contents("E:\\Z4.INI"), "Density:80\r\n");
}

TEST_F(StatusDlgTest, NoMarkerEndsWithTwoExactlyAtTheLimitAndDeletesNothing) {
  const std::int64_t opened = clock.NowMs();
  EXPECT_EQ(Run(), CStatusDlg::kTimedOut);
  EXPECT_EQ(clock.NowMs() - opened, 40000);
  EXPECT_TRUE(files.Exists("E:\\Z4.JOB"));
  EXPECT_EQ(files.CountOps("delete"), 0);
  EXPECT_EQ(files.CountOps("open E:\\Z4JOB.END"), 79) << "checked at every tick but the last";
}

TEST_F(StatusDlgTest, AFailedStepEndsTheWindowAsFailedInsteadOfWaitingOn) {
  ui.on_child_open = [](fakes::FakeDialog& d) { d.Handler().OnFailure(); };
  const std::int64_t opened = clock.NowMs();
  EXPECT_EQ(Run(), kResultFailed);
  EXPECT_LT(clock.NowMs() - opened, 500) << "not the 40 s of the time limit";
}

// A slow board whose drive misses a look now and then, never two in a row.
TEST_F(StatusDlgTest, ASlowBoardThatIsThereGetsItsWholeTimeLimit) {
  int searches = 0;
  files.before_operation = [&](const std::string& op) {
    if (op.rfind("search", 0) == 0) ++searches % 2 ? files.RemoveDrive('E') : files.AddDrive('E');
  };
  const std::int64_t opened = clock.NowMs();
  EXPECT_EQ(Run(), CStatusDlg::kTimedOut);
  EXPECT_EQ(clock.NowMs() - opened, 40000);
  EXPECT_EQ(searches, 79) << "a look after every marker not found";
}

// The board pulled and a USB stick plugged in under its letter before the
// files went out: the stick gets none of them, and the wait ends at once.
TEST_F(StatusDlgTest, AnotherDiskUnderTheBoardsLetterGetsNoFile) {
  SharedState::SetStatusKind(StatusKind::kWrite);
  SharedState::SetDeviceFound(1);
  system.version = OsVersion{10, 0};
  registry.SetBinary(RegistryRoot::LocalMachine, "SYSTEM\\MountedDevices\\", "\\DosDevices\\E:",
                     {'_', 0, '?', 0, '?', 0, '_', 0, 'U', 0, 'S', 0, 'B', 0, 'S', 0, 'T', 0,
                      'O', 0, 'R', 0, '#', 0, 'D', 0, 'i', 0, 's', 0, 'k', 0, '&', 0, 'V', 0,
                      'e', 0, 'n', 0, '_', 0, 'S', 0, 'a', 0, 'n', 0, 'D', 0, 'i', 0, 's', 0});
  const std::int64_t opened = clock.NowMs();
  EXPECT_NE(Run(), CStatusDlg::kFinished);
  EXPECT_LT(clock.NowMs() - opened, 1000);
  EXPECT_TRUE(Deliveries().empty());
  EXPECT_FALSE(files.Exists("E:\\Z4.INI"));
  EXPECT_FALSE(files.Exists("E:\\Z4.JOB"));
}

TEST_F(StatusDlgTest, AMarkerAfterThreeSecondsEndsWithOneAtTheNextTickAfterCleaningUp) {
  const std::int64_t opened = clock.NowMs();
  clock.AddActor(2900, [&](std::int64_t) {
    if (!files.Exists("E:\\Z4JOB.END")) files.AddFile("E:\\Z4JOB.END", "");
  });
  EXPECT_EQ(Run(), CStatusDlg::kFinished);
  // Found at the 3000 ms tick (150 ms test + 300 ms held), then a presence test
  // before each deletion: Z4.JOB 150, the marker again 450, the absent
  // Z4Dummy.TXT 150.
  EXPECT_EQ(clock.NowMs() - opened, 3000 + 450 + 150 + 450 + 150);
  EXPECT_FALSE(files.Exists("E:\\Z4.JOB"));
  EXPECT_FALSE(files.Exists("E:\\Z4JOB.END"));
}

TEST_F(StatusDlgTest, ThePointerGoesToTheMiddleOfTheScreenUnderTheWaitCursor) {
  ui.desktop = Rect{0, 0, 1280, 1024};
  ui.on_child_open = [&](fakes::FakeDialog&) {
    EXPECT_EQ(ui.cursor_x, 640);
    EXPECT_EQ(ui.cursor_y, 512);
    EXPECT_EQ(ui.cursor, CursorShape::Wait);
    EXPECT_TRUE(ui.SetCursorMessage()) << "the wait cursor is kept over the window";
  };
  Run();
}

TEST_F(StatusDlgTest, WithoutTheBoardTheLimitEndsTheWaitWithoutPresenceTests) {
  SharedState::SetDeviceFound(0);
  clock.ClearPauseLog();
  EXPECT_EQ(Run(), CStatusDlg::kTimedOut);
  EXPECT_EQ(files.CountOps("open E:\\Z4JOB.END"), 0);
}

TEST_F(StatusDlgTest, OnWindows2000TheFlushFileIsOnTheBoardDuringTheJobAndGoneAfter) {
  system.version = OsVersion{5, 0};
  fakes::EmulatedBoard board(files, clock, 'E');
  std::optional<std::string> during;
  files.before_operation = [&](const std::string& op) {
    if (op == "open E:\\Z4JOB.END" && !during) during = files.Contents("E:\\Z4Dummy.TXT");
  };
  SharedState::SetStatusKind(StatusKind::kRead);
  files.AddFile(std::string(kBackup) + "\\Z4.JOB", "SetDataOut:\r\nEnd:\r\n");
  EXPECT_EQ(Run(), CStatusDlg::kFinished);
  EXPECT_EQ(during, "ABBD");
  EXPECT_FALSE(files.Exists("E:\\Z4Dummy.TXT"));
  EXPECT_TRUE(files.Exists("E:\\Z4.INI")) << "the board's answer stays for the panel";
}

}  // namespace
}  // namespace z4
