#include "viewers/kiban_dlg.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "device/board_file_limits.h"
#include "device/file_exchange.h"
#include "fakes/fake_board_storage.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_ui.h"
#include "imaging/image_sequences.h"
#include "res/resource_ids.h"
#include "viewers/captured_image.h"
#include "viewers/file_name_dlg.h"

namespace z4 {
namespace {

constexpr char kBackup[] = "C:\\Program Files\\Z4\\BackupZ4";

TEST(CapturedImageTest, TheNewestValidNameWins) {
  struct Case {
    const char* name;
    int number;
  };
  for (const Case& c :
       {Case{"MB000120.tif", 120}, Case{"mb000121.TIF", 121}, Case{"mB000007.png", 7},
        Case{"MBX00122.tif", -1}, Case{"MB0001200.tif", -1}, Case{"MB00012.tif", -1},
        Case{"MB00012a.tif", -1}, Case{"XB000120.tif", -1}, Case{"MB000120", 120}}) {
    EXPECT_EQ(CaptureNumber(c.name), c.number) << c.name;
  }
  EXPECT_EQ(NewestCapture({"MB000120.tif", "mb000121.TIF", "MBX00122.tif", "MB0001200.tif"}),
            "mb000121.TIF");
  EXPECT_EQ(NewestCapture({"mb000050.png", "MB000050.png"}), "mb000050.png") << "first of equals";
  EXPECT_EQ(NewestCapture({"MBX00122.tif"}), "");
}

class KibanDlgTest : public ::testing::Test, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    SharedState::SetLanguageFlag(1);
    SharedState::SetDeviceDrive("E");
    SharedState::SetDeviceFound(1);
    SharedState::SetSaveFolder("C:\\Z4");
    SharedState::SetEnteredFileName("1234");
    files.AddDirectory("C:\\Program Files\\Z4");
    files.AddDrive('E');
    // The user types "ab" into the file name dialog and presses SET.
    ui.on_child_open = [this](fakes::FakeDialog& d) {
      if (d.ResourceId() != IDD_FILENAME) return;
      d.Control(IDC_FILENAME_EDIT).text = typed;
      d.Handler().OnCommand(IDC_FILENAME_SET, 0);
    };
  }
  void PlugBoard(char file_format, std::optional<std::string> errors = std::nullopt) {
    sim::Settings settings;
    settings.file_format = file_format;
    sim::BoardOptions options;
    options.end_delay_ms = 1000;
    options.self_test_errors = std::move(errors);
    board.emplace(files, clock, 'E', settings, options);
    SettingsRecord record = SharedState::GetDeviceSettings();
    record.FileFormat = file_format == 'T' ? 1 : 0;
    SharedState::SetDeviceSettings(record);
  }
  fakes::FakeDialog& Open() { return ui.Open(IDD_KIBAN, dialog); }
  // Runs until the result is shown (the buttons come back).
  bool RunUntilShown() {
    return ui.RunUntilTrue([&] { return ui.Main().Control(IDC_KIBAN_OK).enabled; }, 60000);
  }

  std::string typed = "ab";
  CKibanDlg dialog{ports};
  fakes::FakeUi ui{clock};
  std::optional<fakes::EmulatedBoard> board;
};

TEST_F(KibanDlgTest, OpeningSendsTheSelfTestAndTheCapturedPngIsShown) {
  PlugBoard('P');
  files.AddFile("E:\\QXR\\MB000007.png", "older");
  files.AddFile("E:\\QXR\\MB000099.tif", "a TIFF: not looked at for PNG");
  files.AddFile("E:\\Z4.CSV", "stale");
  auto& d = Open();
  EXPECT_EQ(d.Caption(), "Kiban");
  EXPECT_EQ(d.Control(IDC_KIBAN_IMAGE_CAPTION).text, "Image File");
  EXPECT_EQ(d.Control(IDC_KIBAN_LOG_CAPTION).text, "Error Log");
  EXPECT_EQ(d.Control(IDC_KIBAN_RETURN).text, "RETURN");
  EXPECT_EQ(d.Control(IDC_KIBAN_STOP).text, "STOP");
  EXPECT_EQ(d.FontFace(), "MS Sans Serif");
  EXPECT_FALSE(d.Control(IDC_KIBAN_OK).enabled);
  EXPECT_TRUE(d.Control(IDC_KIBAN_STOP).enabled);
  EXPECT_FALSE(files.Exists("E:\\Z4.CSV")) << "stale exchange files go first";
  EXPECT_EQ(
      files.Contents("E:\\Z4.JOB"),
      "Lamp:ON\r\nSWTest:\r\nMemoryTest:\r\nFlashTest:\r\nCFTest:\r\nImageTest:03\r\nEnd:\r\n");
  EXPECT_TRUE(d.HasTimer(TIMER_KIBAN));

  ASSERT_TRUE(RunUntilShown());
  EXPECT_EQ(d.images.drawn_file, std::string(kBackup) + "\\MB000100.png")
      << "the board numbered on from the PNG and TIFF captures";
  EXPECT_TRUE(files.IsDirectory("C:\\Z4"));
  EXPECT_FALSE(d.Control(IDC_KIBAN_STOP).enabled);
  EXPECT_EQ(d.Focus(), IDC_KIBAN_OK);
  EXPECT_FALSE(d.HasTimer(TIMER_KIBAN));
  EXPECT_FALSE(files.Exists("E:\\Z4.JOB"));
  EXPECT_FALSE(files.Exists("E:\\Z4JOB.END"));
  // The sequence for showing an image file, call by call.
  EXPECT_EQ(d.images.calls,
            (std::vector<std::string>{"file.28 := " + std::string(kBackup) + "\\MB000100.png",
                                      "display.20", "file.5(0)", "file.20", "common.30 := 1",
                                      "common.4", "common.42", "file.20", "display.20 := 1",
                                      "display.29", "display.5(1)"}));
}

// While the board works, the window looks for its end marker ten times a
// second: a look that takes longer (its presence test pauses) is followed by
// the next at once.
TEST_F(KibanDlgTest, TheEndMarkerIsLookedForEveryTenthOfASecond) {
  PlugBoard('P');
  std::vector<std::int64_t> looks;
  files.before_operation = [&](const std::string& op) {
    if (op == "open E:\\Z4JOB.END" && !files.Exists("E:\\Z4JOB.END")) {
      looks.push_back(clock.NowMs());
    }
  };
  Open();
  ASSERT_TRUE(RunUntilShown());
  ASSERT_GE(looks.size(), 5u);
  for (std::size_t i = 2; i < looks.size(); ++i) {
    EXPECT_LE(looks[i] - looks[i - 1], std::max<std::int64_t>(100, kPresencePauseMs)) << i;
  }
}

TEST_F(KibanDlgTest, FileFormatOneLooksForTiffOnly) {
  PlugBoard('T');
  files.AddFile("E:\\QXR\\MB000500.png", "a PNG: not looked at for TIFF");
  auto& d = Open();
  ASSERT_TRUE(RunUntilShown());
  EXPECT_EQ(d.images.drawn_file, std::string(kBackup) + "\\MB000501.tif");
}

TEST_F(KibanDlgTest, WithEndMarkerAndLogTogetherTheLogWinsAndOkDeletesIt) {
  PlugBoard('P', "Lamp error\nCF card missing");
  auto& d = Open();
  ASSERT_TRUE(RunUntilShown());
  EXPECT_TRUE(d.images.calls.empty()) << "no image is fetched";
  EXPECT_EQ(d.Control(IDC_KIBAN_LOG).text, "Lamp error\r\r\nCF card missing\r\r\n")
      << "each line as read, followed by CR LF";
  EXPECT_TRUE(files.Exists("E:\\Z4.LOG"));
  ui.Click(IDC_KIBAN_OK);
  EXPECT_FALSE(files.Exists("E:\\Z4.LOG"));
  EXPECT_TRUE(ui.save_requests.empty()) << "nothing to save";
}

TEST_F(KibanDlgTest, SavingUnderTheProposedNameCopiesAndThenDeletesTheBoardsImage) {
  PlugBoard('P');
  auto& d = Open();
  ASSERT_TRUE(RunUntilShown());
  ui.Click(IDC_KIBAN_OK);
  ASSERT_EQ(ui.save_requests.size(), 1u);
  const SaveFileRequest& r = ui.save_requests[0];
  EXPECT_EQ(r.default_name, "1234ab.png");
  EXPECT_EQ(r.default_extension, "png");
  EXPECT_EQ(r.filter, "png(*.png)|*.png|");
  EXPECT_EQ(r.initial_folder, "C:\\Z4");
  EXPECT_EQ(files.Contents("C:\\Z4\\1234ab.png"),
            files.Contents(std::string(kBackup) + "\\MB000001.png"));
  EXPECT_FALSE(files.Exists("E:\\QXR\\MB000001.png"));
  EXPECT_EQ(SharedState::GetSaveFolder(), "C:\\Z4\\");
  EXPECT_EQ(d.Focus(), IDC_KIBAN_RETURN);
}

TEST_F(KibanDlgTest, ADifferentNameSavesNothingAndKeepsTheBoardsImage) {
  PlugBoard('P');
  Open();
  ASSERT_TRUE(RunUntilShown());
  ui.save_answer = "C:\\Z4\\other.png";
  ui.Click(IDC_KIBAN_OK);
  EXPECT_FALSE(files.Exists("C:\\Z4\\other.png"));
  EXPECT_TRUE(files.Exists("E:\\QXR\\MB000001.png"));
  EXPECT_EQ(SharedState::GetSaveFolder(), "C:\\Z4");
  ui.save_answer = std::nullopt;  // cancelled
  ui.Click(IDC_KIBAN_OK);
  EXPECT_TRUE(files.Exists("E:\\QXR\\MB000001.png"));
  EXPECT_EQ(SharedState::GetEnteredFileName(), "1234abab") << "each OK adds the typed part again";
}

// A folder that cannot be written, and the working folder, which the program
// empties: the image is not saved there, the board keeps it, the user is told.
TEST_F(KibanDlgTest, ASaveThatFailsOrIsRefusedKeepsTheBoardsImageAndSaysSo) {
  PlugBoard('P');
  Open();
  ASSERT_TRUE(RunUntilShown());
  files.AddDirectory("D:\\Images");
  files.SetReadOnly("D:\\Images", true);
  for (const auto& [target, copies] : {std::pair{std::string("D:\\Images\\1234ab.png"), 60},
                                       // each OK adds the typed part to the proposed name again
                                       std::pair{std::string(kBackup) + "\\1234abab.png", 0}}) {
    ui.save_answer = target;
    const std::size_t boxes = ui.Boxes().size();
    ui.Click(IDC_KIBAN_OK);
    EXPECT_TRUE(files.Exists("E:\\QXR\\MB000001.png")) << "the board's image is kept";
    EXPECT_FALSE(files.Exists(target));
    ASSERT_EQ(ui.Boxes().size(), boxes + 1);
    EXPECT_NE(ui.Boxes().back().text.find(target), std::string::npos);
    EXPECT_EQ(files.CountOps("copy " + std::string(kBackup) + "\\MB000001.png -> " + target),
              copies);
  }
}

TEST_F(KibanDlgTest, StopEndsTheWaitAndTakesTheJobBack) {
  sim::BoardOptions options;
  options.never_end = true;
  board.emplace(files, clock, 'E', sim::Settings{}, options);
  auto& d = Open();
  ui.RunFor(3000);
  EXPECT_FALSE(d.Control(IDC_KIBAN_OK).enabled) << "still waiting";
  EXPECT_TRUE(files.Exists("E:\\Z4.JOB"));
  ui.Click(IDC_KIBAN_STOP);
  EXPECT_FALSE(files.Exists("E:\\Z4.JOB"));
  EXPECT_FALSE(d.HasTimer(TIMER_KIBAN));
  EXPECT_TRUE(d.Control(IDC_KIBAN_OK).enabled);
  EXPECT_TRUE(d.Control(IDC_KIBAN_RETURN).enabled);
  EXPECT_FALSE(d.Control(IDC_KIBAN_STOP).enabled);
}

TEST_F(KibanDlgTest, WithoutTheBoardNothingIsSentAndTheWindowCanBeClosed) {
  SharedState::SetDeviceFound(0);
  auto& d = Open();
  EXPECT_TRUE(d.Control(IDC_KIBAN_OK).enabled);
  EXPECT_TRUE(d.Control(IDC_KIBAN_RETURN).enabled);
  EXPECT_FALSE(d.Control(IDC_KIBAN_STOP).enabled);
  EXPECT_FALSE(d.HasTimer(TIMER_KIBAN));
  EXPECT_FALSE(files.Exists("E:\\Z4.JOB"));
}

TEST_F(KibanDlgTest, ClosingTakesSevenSecondsAndReleasesTheShownImage) {
  PlugBoard('P');
  auto& d = Open();
  ASSERT_TRUE(RunUntilShown());
  EXPECT_EQ(d.images.live.size(), 1u);
  d.images.calls.clear();
  const std::int64_t before = clock.NowMs();
  ui.Click(IDC_KIBAN_RETURN);
  ASSERT_TRUE(ui.RunUntilClosed(100));
  EXPECT_GE(clock.NowMs() - before, 7000);
  EXPECT_TRUE(d.images.live.empty());
  EXPECT_EQ(d.images.calls,
            (std::vector<std::string>{"display.20", "display.20", "common.30 := 1", "common.3"}));
  EXPECT_EQ(ui.cursor, CursorShape::Arrow);
  EXPECT_FALSE(d.Control(IDC_KIBAN_RETURN).enabled);
}

TEST_F(KibanDlgTest, AnImageTheComponentRefusesIsNotShownAndNotReleased) {
  PlugBoard('P');
  auto& d = Open();
  d.images.loads = [](const std::string&) { return false; };
  ASSERT_TRUE(RunUntilShown());
  EXPECT_EQ(d.images.drawn_file, "");
  EXPECT_EQ(d.images.calls.back(), "common.4") << "stops once it is not valid";
  d.images.loads = [](const std::string&) { return true; };
  d.images.showable = 0;
  ShowImageFile(d.images.control(), "C:\\x.png");
  EXPECT_EQ(d.images.calls.back(), "common.3")
      << "a loaded image that may not be shown is released";
  EXPECT_TRUE(d.images.live.empty());
}

TEST_F(KibanDlgTest, TheJapaneseTexts) {
  SharedState::SetLanguageFlag(0);
  SharedState::SetDeviceFound(0);
  auto& d = Open();
  EXPECT_EQ(d.Caption(), "\xE5\x9F\xBA\xE6\x9D\xBF\xE6\xA4\x9C\xE6\x9F\xBB");
  EXPECT_EQ(d.Control(IDC_KIBAN_RETURN).text, "END");
  EXPECT_EQ(d.Control(IDC_KIBAN_STOP).text, "\xE4\xB8\xAD\xE6\x96\xAD");
  EXPECT_EQ(d.FontSize(), 90);
  EXPECT_TRUE(d.Control(IDC_KIBAN_STOP).text_font);
}

TEST_F(KibanDlgTest, ALongLogShowsItsBeginningAndSaysTheRestIsNotShown) {
  for (const int language : {1, 0}) {
    SCOPED_TRACE(language);
    SharedState::SetLanguageFlag(language);
    // One line of 3 MiB: the board's log as a damaged board might leave it.
    PlugBoard('P', std::string(3 * 1024 * 1024, 'E'));
    CKibanDlg window(ports);
    fakes::FakeUi here(clock);
    auto& d = here.Open(IDD_KIBAN, window);
    ASSERT_TRUE(here.RunUntilTrue([&] { return d.Control(IDC_KIBAN_OK).enabled; }, 60000));
    const std::string& shown = d.Control(IDC_KIBAN_LOG).text;
    EXPECT_EQ(shown.substr(0, kLogShownLimit), std::string(kLogShownLimit, 'E'));
    EXPECT_EQ(shown.substr(kLogShownLimit, 2), "\r\n");
    const std::string notice = shown.substr(kLogShownLimit + 2);
    EXPECT_LT(notice.size(), 200u);
    EXPECT_EQ(notice.substr(notice.size() - 2), "\r\n");
    EXPECT_NE(notice.find(language == 0 ? "\xE8\xA1\xA8\xE7\xA4\xBA" : "shown"), std::string::npos)
        << notice;
    board.reset();
    files.Delete("E:\\Z4.LOG");
  }
}

TEST_F(KibanDlgTest, TheLogIsShownInTheSystemsCodePageUnlessItIsUtf8) {
  struct Case {
    const char* what;
    std::string log;
    std::string shown;
  };
  const Case cases[] = {
      {"plain ASCII", "Lamp error\r\n", "Lamp error\r\r\n"},
      {"UTF-8", "\xE3\x83\xA9\xE3\x83\xB3\xE3\x83\x97\r\n",
       "\xE3\x83\xA9\xE3\x83\xB3\xE3\x83\x97\r\r\n"},
      // Shift-JIS for "ランプ": not UTF-8, so the system code page reads it
      // (the fake system's code page is Latin-1).
      {"code page", "\x83\x89\x83\x93\x83\x76", "\xC2\x83\xC2\x89\xC2\x83\xC2\x93\xC2\x83v\r\n"},
      {"byte order mark", "\xEF\xBB\xBFok \xFF", "ok \xEF\xBF\xBD\r\n"},
      {"NUL inside", std::string("before\0after", 12), "before after\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PlugBoard('P', "x");
    CKibanDlg window(ports);
    fakes::FakeUi here(clock);
    auto& d = here.Open(IDD_KIBAN, window);
    // The board's log is replaced by the case's bytes before the window reads it.
    files.before_operation = [&](const std::string& op) {
      if (op == "open E:\\Z4.LOG" && files.Contents("E:\\Z4.LOG") != c.log) {
        files.AddFile("E:\\Z4.LOG", c.log);
      }
    };
    ASSERT_TRUE(here.RunUntilTrue([&] { return d.Control(IDC_KIBAN_OK).enabled; }, 60000));
    EXPECT_EQ(d.Control(IDC_KIBAN_LOG).text, c.shown);
    files.before_operation = nullptr;
    board.reset();
    files.Delete("E:\\Z4.LOG");
  }
}

TEST_F(KibanDlgTest, AFolderNamedLikeTheNewestCaptureIsPassedOver) {
  PlugBoard('P');
  files.before_operation = [&](const std::string& op) {
    if (op == "find E:\\QXR\\MB*.png") files.AddDirectory("E:\\QXR\\MB999999.png");
  };
  auto& d = Open();
  const std::int64_t opened = clock.NowMs();
  ASSERT_TRUE(RunUntilShown());
  EXPECT_EQ(d.images.drawn_file, std::string(kBackup) + "\\MB000001.png");
  EXPECT_LT(clock.NowMs() - opened, 10000) << "no copy of a folder is tried";
}

TEST_F(KibanDlgTest, AnImageThatCannotBeCopiedIsTriedSixtyTimesASecondApart) {
  PlugBoard('P');
  std::vector<std::int64_t> copies;
  files.before_operation = [&](const std::string& op) {
    if (op == "find E:\\QXR\\MB*.png") files.SetHeldOpen("E:\\QXR\\MB000001.png", true);
    if (op.rfind("copy E:\\QXR\\MB000001.png", 0) == 0) copies.push_back(clock.NowMs());
  };
  auto& d = Open();
  ASSERT_TRUE(RunUntilShown());
  ASSERT_EQ(copies.size(), 60u);
  for (std::size_t i = 1; i < copies.size(); ++i) EXPECT_EQ(copies[i] - copies[i - 1], 1000);
  EXPECT_EQ(d.images.drawn_file, "");
  EXPECT_TRUE(d.Control(IDC_KIBAN_RETURN).enabled);
  ui.Click(IDC_KIBAN_OK);
  EXPECT_TRUE(ui.save_requests.empty()) << "no image, nothing to save";
}

TEST_F(KibanDlgTest, SavingOntoTheBoardsOwnImageKeepsIt) {
  PlugBoard('P');
  SharedState::SetEnteredFileName("MB0000");
  typed = "01";
  Open();
  ASSERT_TRUE(RunUntilShown());
  // The board's folder, written otherwise: the full paths are the same file.
  ui.save_answer = "e:\\qxr\\MB000001.png";
  ui.Click(IDC_KIBAN_OK);
  EXPECT_TRUE(ui.Boxes().empty()) << "the copy itself succeeded";
  EXPECT_TRUE(files.Exists("E:\\QXR\\MB000001.png")) << "the only copy stays";
}

TEST_F(KibanDlgTest, TheSaveAsDialogAsksBeforeReplacingAndTheNameMustMatchExactly) {
  PlugBoard('P');
  Open();
  ASSERT_TRUE(RunUntilShown());
  ui.save_answer = "C:\\Z4\\1234AB.png";  // the proposed name in other letters
  ui.Click(IDC_KIBAN_OK);
  ASSERT_EQ(ui.save_requests.size(), 1u);
  const SaveFileRequest& r = ui.save_requests[0];
  EXPECT_TRUE(r.ask_before_replacing);
  EXPECT_TRUE(r.hide_read_only);
  EXPECT_TRUE(r.folder_must_exist);
  EXPECT_FALSE(files.Exists("C:\\Z4\\1234AB.png")) << "the comparison minds letter case";
  EXPECT_TRUE(files.Exists("E:\\QXR\\MB000001.png"));
}

TEST_F(KibanDlgTest, StaleFilesGoInTheirOrderAndTheFlushFileGoesAtTheEndMarker) {
  system.version = OsVersion{5, 0};  // Windows 2000: a delivery leaves Z4Dummy.TXT
  PlugBoard('P');
  const char* stale[] = {"Z4Dummy.TXT", "Z4.CSV", "Z4JOB.END", "Z4.INI", "Z4.JOB"};
  for (const char* name : stale) files.AddFile(std::string("E:\\") + name, "stale");
  Open();
  std::vector<std::string> deleted;
  for (const auto& op : files.log) {
    if (op.rfind("delete E:\\", 0) == 0) deleted.push_back(op.substr(10));
  }
  EXPECT_EQ(deleted,
            (std::vector<std::string>{"Z4.JOB", "Z4.INI", "Z4JOB.END", "Z4.CSV", "Z4Dummy.TXT"}));
  EXPECT_TRUE(files.Exists("E:\\Z4Dummy.TXT")) << "written after the delivery";
  ASSERT_TRUE(RunUntilShown());
  EXPECT_FALSE(files.Exists("E:\\Z4Dummy.TXT"));
}

TEST_F(KibanDlgTest, TheTimerStartsEvenWhenTheJobCannotBeWrittenOrDelivered) {
  for (const char* folder : {"C:\\Program Files\\Z4", "E:\\"}) {
    SCOPED_TRACE(folder);
    files.SetReadOnly(folder, true);
    CKibanDlg window(ports);
    fakes::FakeUi here(clock);
    auto& d = here.Open(IDD_KIBAN, window);
    EXPECT_FALSE(files.Exists("E:\\Z4.JOB"));
    EXPECT_TRUE(d.HasTimer(TIMER_KIBAN)) << "stop ends the wait";
    here.Click(IDC_KIBAN_STOP);
    EXPECT_TRUE(d.Control(IDC_KIBAN_RETURN).enabled);
    files.SetReadOnly(folder, false);
  }
}

// --- The file name dialog

class FileNameDlgTest : public ::testing::Test, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    SharedState::SetLanguageFlag(1);
    SharedState::SetEnteredFileName("1234");
  }
  CFileNameDlg dialog;
  fakes::FakeUi ui{clock};
};

TEST_F(FileNameDlgTest, PromptLimitAndSet) {
  auto& d = ui.Open(IDD_FILENAME, dialog);
  EXPECT_EQ(d.Control(IDC_FILENAME_PROMPT).text, "Please input file name");
  EXPECT_EQ(d.Control(IDC_FILENAME_SET).text, "SET");
  EXPECT_EQ(d.Control(IDC_FILENAME_EDIT).text_limit, 4);
  EXPECT_TRUE(d.Control(IDC_FILENAME_PROMPT).text_font);
  EXPECT_FALSE(d.Control(IDC_FILENAME_EDIT).text_font) << "the edit keeps the dialog's font";
  ui.Paint();
  EXPECT_EQ(d.Focus(), IDC_FILENAME_EDIT);

  d.Control(IDC_FILENAME_EDIT).text = "ab";
  ui.PressOk();
  EXPECT_FALSE(d.Ended()) << "Enter does nothing";
  ui.Click(IDC_FILENAME_SET);
  EXPECT_TRUE(d.Ended());
  EXPECT_EQ(d.Result(), kResultOk);
  EXPECT_EQ(SharedState::GetEnteredFileName(), "1234ab");
}

TEST_F(FileNameDlgTest, EmptySetLeavesTheNameAndEscapeCancels) {
  auto& d = ui.Open(IDD_FILENAME, dialog);
  ui.Click(IDC_FILENAME_SET);
  EXPECT_TRUE(d.Ended());
  EXPECT_EQ(SharedState::GetEnteredFileName(), "1234");

  CFileNameDlg second;
  auto& e = ui.Open(IDD_FILENAME, second);
  e.Control(IDC_FILENAME_EDIT).text = "zz";
  ui.PressCancel();
  EXPECT_EQ(e.Result(), kResultCancel);
  EXPECT_EQ(SharedState::GetEnteredFileName(), "1234");
}

TEST_F(FileNameDlgTest, ThePromptFollowsTheLanguageFlag) {
  SharedState::SetLanguageFlag(0);
  auto& d = ui.Open(IDD_FILENAME, dialog);
  EXPECT_EQ(d.Control(IDC_FILENAME_PROMPT).text,
            "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xE5\x90\x8D\xE3\x82\x92\xE5\x85\xA5"
            "\xE5\x8A\x9B\xE3\x81\x97\xE3\x81\xA6\xE4\xB8\x8B\xE3\x81\x95\xE3\x81\x84");
  EXPECT_EQ(d.FontSize(), 90);
}

}  // namespace
}  // namespace z4
