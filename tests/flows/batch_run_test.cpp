// /export and /apply in virtual time: the whole program started with the
// options, against the emulated board on drive E.
#include <algorithm>
#include <gtest/gtest.h>
#include <new>
#include <optional>
#include <string>

#include "app/startup.h"
#include "batch/batch_outcome.h"
#include "core/shared_state.h"
#include "fakes/board_registration.h"
#include "fakes/fake_board_storage.h"
#include "fakes/fake_dialog_host.h"
#include "fakes/fake_file_appender.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_ui.h"
#include "fakes/fake_wall_clock.h"
#include "res/resource_ids.h"
#include "sim/settings_file.h"

namespace z4 {
namespace {

constexpr char kFolder[] = "C:\\Program Files\\Z4";
constexpr char kLog[] = "C:\\Program Files\\Z4\\Z4Utility.log";
constexpr char kFile[] = "C:\\batch\\a.ini";

// The settings of board A, whose file is applied to other boards.
sim::Settings BoardA() {
  sim::Settings s;
  s.density = 82;
  s.ccfl_off_minutes = 45;
  s.ccfl_stab_seconds = 30;
  s.file_format = 'P';
  s.setting = 'V';
  s.file_date = "2008/02/29 13:14:15";
  s.image_move = 'Y';
  s.extra_lines = {"Version:1.00", "BoardName:A-0001"};
  return s;
}

// Board B: other values, and extra keys of its own.
sim::Settings BoardB() {
  sim::Settings s;
  s.density = 71;
  s.ccfl_off_minutes = 120;
  s.ccfl_stab_seconds = 110;
  s.extra_lines = {"Version:2.10", "BoardName:B-0002", "Serial:0002"};
  return s;
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string ValidFile() {
  return "; service settings\r\n"
         "Density:82\r\n"
         "CCFLOffTim:045\r\n"
         "CCFLStabTim:030\r\n"
         "FileFormat:P\r\n"
         "Setting:V\r\n"
         "FileDate:2008/02/29 13:14:15\r\n"
         "ImageMove:Y\r\n";
}

class BatchRunTest : public ::testing::Test, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    files.AddDirectory(kFolder);
    files.AddDirectory("C:\\batch");
    files.AddDrive('E');
    fakes::RegisterBoardNt(registry, 'E');
  }

  void PlugBoard(const sim::Settings& settings, const sim::BoardOptions& options = {}) {
    board.emplace(files, clock, 'E', settings, options);
  }
  int Run(const std::string& options) {
    system.command_line = "\"C:\\Program Files\\Z4\\Z4Utility.exe\" " + options;
    return RunUtility(ports, host);
  }
  // The record's lines, after the byte-order mark that starts the file.
  std::string Log() const {
    const std::string log = files.Contents(kLog).value_or("");
    return log.substr(std::min<std::size_t>(log.size(), 3));
  }
  // Program operations that reached the board's drive.
  int BoardOperations() const {
    int n = 0;
    for (const auto& line : files.log) n += line.find("E:") != std::string::npos;
    return n;
  }
  void ExpectBoardRootClean() {
    for (const char* name : {"E:\\Z4.JOB", "E:\\Z4JOB.END", "E:\\Z4.INI", "E:\\Z4Dummy.TXT"}) {
      EXPECT_FALSE(files.Exists(name)) << name << " left on the board";
    }
    EXPECT_FALSE(files.Exists("C:\\Program Files\\Z4\\BackupZ4")) << "backup folder removed";
    EXPECT_FALSE(files.Exists("C:\\Program Files\\Z4\\BackupZ4.lock"));
  }

  fakes::FakeUi ui{clock};
  fakes::FakeDialogHost host{ui};
  std::optional<fakes::EmulatedBoard> board;
};

TEST_F(BatchRunTest, ExportWritesTheBoardsFileByteForByteWithoutTheMainWindow) {
  PlugBoard(BoardA());
  files.AddFile(kFile, "old contents");
  EXPECT_EQ(Run("/export C:\\batch\\a.ini"), kExitDone);

  EXPECT_EQ(files.Contents(kFile), sim::SettingsFileText(BoardA()));
  EXPECT_EQ(host.runs, std::vector<int>{IDD_STATUS}) << "one status window, no main window";
  EXPECT_TRUE(host.boxes.empty());
  ASSERT_EQ(board->board().jobs().size(), 1u);
  EXPECT_EQ(board->board().jobs()[0], "SetDataOut:\r\nEnd:\r\n");
  ExpectBoardRootClean();
  EXPECT_EQ(Log(), "2024-05-01 13:45:07\tE\t/export\tC:\\batch\\a.ini\t0 done\r\n");
}

TEST_F(BatchRunTest, ARelativeFileIsTakenFromTheCurrentFolder) {
  PlugBoard(BoardA());
  ASSERT_TRUE(files.EnterDirectory("C:\\batch"));
  EXPECT_EQ(Run("-EXPORT a.ini"), kExitDone);
  EXPECT_EQ(files.Contents(kFile), sim::SettingsFileText(BoardA()));
  EXPECT_NE(Log().find("\tC:\\batch\\a.ini\t"), std::string::npos) << Log();
}

TEST_F(BatchRunTest, ApplyGivesTheBoardTheSevenValuesAndKeepsItsOwnLines) {
  PlugBoard(BoardB());
  files.AddFile(kFile, ValidFile());
  EXPECT_EQ(Run("/apply C:\\batch\\a.ini"), kExitDone);

  sim::Settings expected = BoardA();
  expected.extra_lines = BoardB().extra_lines;
  EXPECT_EQ(board->board().settings(), expected);
  // Read first (the rewrite starts from the board's own file), then the
  // write as Set sends it, then the read-back.
  const auto& jobs = board->board().jobs();
  ASSERT_EQ(jobs.size(), 3u);
  EXPECT_EQ(jobs[0], "SetDataOut:\r\nEnd:\r\n");
  EXPECT_EQ(jobs[1], "SetDataIn:\r\nEnd:\r\n");
  EXPECT_EQ(jobs[2], "SetDataOut:\r\nEnd:\r\n");
  // The file the board was given: its own lines, in their places.
  ASSERT_TRUE(board->board().last_settings_read().has_value());
  const auto& given = *board->board().last_settings_read();
  EXPECT_EQ(given.unknown,
            (std::vector<std::string>{"Version:2.10", "BoardName:B-0002", "Serial:0002"}));
  EXPECT_TRUE(given.rejected.empty());
  EXPECT_EQ(given.applied.size(), 7u);
  EXPECT_EQ(host.runs, (std::vector<int>{IDD_STATUS, IDD_STATUS, IDD_STATUS}));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(SharedState::GetDeviceSettings().CCFLOffTim, 45);
  ExpectBoardRootClean();
  // What the board held and what it took, kept for undoing the change.
  const std::string history = "C:\\Program Files\\Z4\\History\\000001_2024-05-01_134507_E_";
  EXPECT_EQ(files.Contents(history + "before.ini"), sim::SettingsFileText(BoardB()));
  EXPECT_EQ(files.Contents(history + "after.ini"), sim::SettingsFileText(expected));
  EXPECT_EQ(Log(),
            "2024-05-01 13:45:07\tE\t/apply\tC:\\batch\\a.ini\t0 done: Density 71\u219282, "
            "CCFLOffTim 120\u2192045, CCFLStabTim 110\u2192030, FileFormat T\u2192P, Setting "
            "H\u2192V, FileDate 2004/01/01 00:00:00\u21922008/02/29 13:14:15, ImageMove N\u2192Y; "
            "history " +
                history + "before.ini\r\n");
}

TEST_F(BatchRunTest, ExportedFromOneBoardAppliedToAnother) {
  PlugBoard(BoardA());
  ASSERT_EQ(Run("/export C:\\batch\\a.ini"), kExitDone);
  board.reset();
  PlugBoard(BoardB());
  EXPECT_EQ(Run("/quiet /apply C:\\batch\\a.ini"), kExitDone);
  sim::Settings expected = BoardA();
  expected.extra_lines = BoardB().extra_lines;
  EXPECT_EQ(board->board().settings(), expected);
  EXPECT_EQ(Log().rfind("2024-05-01 13:45:07\tE\t/export\tC:\\batch\\a.ini\t0 done\r\n"
                        "2024-05-01 13:45:07\tE\t/apply\tC:\\batch\\a.ini\t0 done: Density",
                        0),
            0u)
      << "one line per run, added after the others: " << Log();
}

struct InvalidFileCase {
  std::string bytes;
  std::string names;  // what the message and the record must name
};

class ApplyInvalidFileTest : public BatchRunTest,
                             public ::testing::WithParamInterface<InvalidFileCase> {};

TEST_P(ApplyInvalidFileTest, NothingReachesTheBoardAndTheKeyAndValueAreNamed) {
  PlugBoard(BoardB());
  files.AddFile(kFile, GetParam().bytes);
  files.log.clear();
  EXPECT_EQ(Run("/apply C:\\batch\\a.ini"), kExitInvalidFile);
  EXPECT_EQ(BoardOperations(), 0) << "the drive was not even probed";
  EXPECT_TRUE(board->board().jobs().empty());
  EXPECT_EQ(board->board().settings(), BoardB());
  EXPECT_TRUE(host.runs.empty());
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find(GetParam().names), std::string::npos) << host.boxes[0].text;
  EXPECT_NE(host.boxes[0].text.find(kFile), std::string::npos);
  EXPECT_NE(Log().find("\t-\t/apply\tC:\\batch\\a.ini\t4 invalid file: " + GetParam().names),
            std::string::npos)
      << Log();
}

std::string Replaced(const std::string& line, const std::string& by) {
  std::string bytes = ValidFile();
  bytes.replace(bytes.find(line), line.size(), by);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ApplyInvalidFileTest,
    ::testing::Values(
        InvalidFileCase{Replaced("Density:82", "Density:95"), "Density:95 (70 to 90)"},
        InvalidFileCase{Replaced("CCFLOffTim:045", "CCFLOffTim:040"),
                        "CCFLOffTim:040 (30 to 120 minutes in steps of 15)"},
        InvalidFileCase{Replaced("CCFLStabTim:030", "CCFLStabTim:125"),
                        "CCFLStabTim:125 (10 to 120 seconds in steps of 10)"},
        InvalidFileCase{Replaced("FileFormat:P", "FileFormat:p"), "FileFormat:p (P (PNG)"},
        InvalidFileCase{Replaced("Setting:V", "Setting:X"), "Setting:X (H or V)"},
        InvalidFileCase{Replaced("FileDate:2008/02/29", "FileDate:2100/02/29"),
                        "FileDate:2100/02/29 13:14:15"},
        InvalidFileCase{Replaced("ImageMove:Y\r\n", ""), "ImageMove missing"},
        InvalidFileCase{"; nothing but a comment\r\n", "Density missing"}));

TEST_F(BatchRunTest, AFileThatCannotBeReadIsAnInvalidFileAndNothingIsSent) {
  PlugBoard(BoardB());
  // Far larger than any settings file: not read at all.
  files.AddFile("C:\\batch\\huge.ini", ValidFile() + std::string(70 * 1024, ';'));
  files.log.clear();
  EXPECT_EQ(Run("/quiet /apply C:\\batch\\missing.ini"), kExitInvalidFile);
  EXPECT_EQ(Run("/quiet /apply C:\\batch\\huge.ini"), kExitInvalidFile);
  EXPECT_EQ(BoardOperations(), 0);
  EXPECT_TRUE(board->board().jobs().empty());
  EXPECT_TRUE(host.boxes.empty()) << "quiet";
  EXPECT_NE(Log().find("\tC:\\batch\\missing.ini\t4 invalid file: cannot be read"),
            std::string::npos);
  EXPECT_NE(Log().find("\tC:\\batch\\huge.ini\t4 invalid file: cannot be read"), std::string::npos);
}

TEST_F(BatchRunTest, WithoutABoardTheFileIsLeftAsItWas) {
  files.RemoveDrive('E');
  files.AddFile(kFile, "kept");
  EXPECT_EQ(Run("/export C:\\batch\\a.ini"), kExitNoBoard);
  EXPECT_EQ(files.Contents(kFile), "kept");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].caption, "Z4Utility");
  EXPECT_NE(host.boxes[0].text.find("No Z-4 board was found."), std::string::npos);
  EXPECT_EQ(Log(), "2024-05-01 13:45:07\t-\t/export\tC:\\batch\\a.ini\t2 no board\r\n");
  ExpectBoardRootClean();
}

TEST_F(BatchRunTest, TheDriveOptionNamesTheBoardWhereTheRegistryKnowsNothing) {
  system.version = OsVersion{10, 0};
  PlugBoard(BoardA());
  EXPECT_EQ(Run("/export C:\\batch\\a.ini"), kExitNoBoard);
  EXPECT_EQ(Run("/drive:e /export C:\\batch\\a.ini"), kExitDone);
  EXPECT_EQ(files.Contents(kFile), sim::SettingsFileText(BoardA()));
}

TEST_F(BatchRunTest, ABoardThatNeverFinishesGivesNoAnswerAfterTheTimeLimit) {
  sim::BoardOptions silent;
  silent.never_end = true;
  PlugBoard(BoardA(), silent);
  files.AddFile(kFile, "kept");
  EXPECT_EQ(Run("/export C:\\batch\\a.ini"), kExitNoAnswer);
  EXPECT_EQ(files.Contents(kFile), "kept") << "left intact";
  const auto& status = ui.Dialogs().back();
  EXPECT_EQ(status.resource_id, IDD_STATUS);
  EXPECT_EQ(status.result, 2);
  EXPECT_EQ(status.closed_at - status.opened_at, 40000) << "80 ticks of 500 ms";
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find("drive E: did not finish"), std::string::npos);
  EXPECT_NE(Log().find("\tE\t/export\tC:\\batch\\a.ini\t3 no answer"), std::string::npos);

  // The same board given a file: the first read never ends, nothing is written.
  files.AddFile(kFile, ValidFile());
  EXPECT_EQ(Run("/apply C:\\batch\\a.ini"), kExitNoAnswer);
  EXPECT_EQ(board->board().settings(), BoardA());
  EXPECT_EQ(board->board().last_settings_read(), std::nullopt);
}

TEST_F(BatchRunTest, AWriteTheBoardDoesNotTakeIsFoundByTheReadBack) {
  sim::BoardOptions refusing;
  refusing.refuse_settings = true;
  // The board already holds four of the file's values.
  sim::Settings held = BoardB();
  held.file_format = 'P';
  held.setting = 'V';
  held.file_date = BoardA().file_date;
  held.image_move = 'Y';
  PlugBoard(held, refusing);
  files.AddFile(kFile, ValidFile());
  EXPECT_EQ(Run("/apply C:\\batch\\a.ini"), kExitReadBackDiffers);
  ASSERT_EQ(host.boxes.size(), 1u);
  const std::string& text = host.boxes[0].text;
  EXPECT_NE(text.find("Density: written 82, read 71"), std::string::npos) << text;
  EXPECT_NE(text.find("CCFLOffTim: written 045, read 120"), std::string::npos) << text;
  EXPECT_EQ(text.find("FileFormat"), std::string::npos) << "only the keys that differ: " << text;
  EXPECT_NE(Log().find("5 read-back differs: Density: written 82, read 71; CCFLOffTim"),
            std::string::npos)
      << Log();
  ExpectBoardRootClean();
}

TEST_F(BatchRunTest, AnExportFileThatCannotBeWrittenIsReportedAndTheBoardIsCleared) {
  PlugBoard(BoardA());
  EXPECT_EQ(Run("/export C:\\nowhere\\a.ini"), kExitNotWritten);
  EXPECT_FALSE(files.Exists("C:\\nowhere\\a.ini"));
  ExpectBoardRootClean();
  EXPECT_NE(Log().find("6 not written: C:\\nowhere\\a.ini"), std::string::npos);
}

TEST_F(BatchRunTest, ARunWhileAnotherHoldsTheFolderTouchesNothing) {
  PlugBoard(BoardB());
  files.AddFile(kFile, ValidFile());
  files.AddFile("C:\\Program Files\\Z4\\BackupZ4.lock", "");
  files.SetHeldOpen("C:\\Program Files\\Z4\\BackupZ4.lock", true);
  files.log.clear();
  EXPECT_EQ(Run("/apply C:\\batch\\a.ini"), kExitBusy);
  EXPECT_EQ(BoardOperations(), 0);
  EXPECT_EQ(board->board().settings(), BoardB());
  EXPECT_TRUE(files.Exists("C:\\Program Files\\Z4\\BackupZ4.lock")) << "the other run's lock";
  EXPECT_NE(Log().find("7 busy"), std::string::npos);
}

TEST_F(BatchRunTest, TheMessageFollowsTheLanguageOfTheTextTable) {
  files.AddFile("C:\\Program Files\\Z4\\Z4Utility.ini", "LANGUAGE=JAPAN\r\n");
  files.RemoveDrive('E');
  EXPECT_EQ(Run("/export C:\\batch\\a.ini"), kExitNoBoard);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find("ボードが見つかりません"), std::string::npos);
  EXPECT_NE(Log().find("2 no board"), std::string::npos) << "the record stays in English";
}

// The board's own settings file, fetched after the first read job (1) or
// after the read-back (2), cannot be had: six copies fail.
struct FetchFailureCase {
  int failing_fetch;
  int code;
  bool written;  // the board took the new values
  std::string record;
};

class ApplyFetchFailureTest : public BatchRunTest,
                              public ::testing::WithParamInterface<FetchFailureCase> {};

TEST_P(ApplyFetchFailureTest, TheExitCodeSaysWhatReachedTheBoard) {
  const FetchFailureCase& c = GetParam();
  PlugBoard(BoardB());
  files.AddFile(kFile, ValidFile());
  int fetches = 0;
  files.before_operation = [&](const std::string& op) {
    if (op.rfind("copy E:\\Z4.INI ->", 0) == 0 && ++fetches == c.failing_fetch) {
      files.FailNextCopies(6);
    }
  };
  EXPECT_EQ(Run("/apply C:\\batch\\a.ini"), c.code);
  sim::Settings expected = BoardA();
  expected.extra_lines = BoardB().extra_lines;
  EXPECT_EQ(board->board().settings(), c.written ? expected : BoardB());
  if (!c.written) {
    EXPECT_EQ(board->board().jobs().size(), 1u) << "only the read: no file of seven lines sent";
    EXPECT_EQ(board->board().last_settings_read(), std::nullopt);
  }
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find(c.written ? "were written" : "could not be read"),
            std::string::npos)
      << host.boxes[0].text;
  EXPECT_NE(Log().find(c.record), std::string::npos) << Log();
  ExpectBoardRootClean();
}

INSTANTIATE_TEST_SUITE_P(
    Fetches, ApplyFetchFailureTest,
    ::testing::Values(FetchFailureCase{1, kExitNoAnswer, false, "\t3 no answer: no settings file"},
                      FetchFailureCase{
                          2, kExitReadBackDiffers, true,
                          "\t5 not read back: written, but the settings could not be "
                          "read back; history C:\\Program Files\\Z4\\History\\000001_"}));

TEST_F(BatchRunTest, AWriteThatDidNotFinishNamesTheBeforeFileItKept) {
  PlugBoard(BoardB());
  files.AddFile(kFile, ValidFile());
  // The board stops working once it has answered the first read.
  clock.AddActor(50, [&](std::int64_t) {
    if (board && board->board().finished_jobs() == 1 && board->board().idle()) board.reset();
  });
  EXPECT_EQ(Run("/quiet /apply C:\\batch\\a.ini"), kExitNoAnswer);
  const std::string before =
      std::string(kFolder) + "\\History\\000001_2024-05-01_134507_E_before.ini";
  EXPECT_EQ(files.Contents(before), sim::SettingsFileText(BoardB()));
  EXPECT_NE(Log().find("\t3 no answer: job not finished within the time limit; history " + before +
                       "\r\n"),
            std::string::npos)
      << Log();
}

TEST_F(BatchRunTest, ABoardSettingsFileTooLargeToUseEndsEitherRunWithTheSameCode) {
  sim::Settings huge = BoardB();
  huge.extra_lines.assign(3000, "Padding:" + std::string(30, 'x'));
  PlugBoard(huge);
  files.AddFile(kFile, ValidFile());
  for (const char* option :
       {"/quiet /export C:\\batch\\out.ini", "/quiet /apply C:\\batch\\a.ini"}) {
    EXPECT_EQ(Run(option), kExitNoAnswer) << option;
  }
  EXPECT_FALSE(files.Exists("C:\\batch\\out.ini"));
  EXPECT_EQ(board->board().last_settings_read(), std::nullopt) << "nothing written";
  EXPECT_EQ(Count(Log(), "3 board file unusable: larger than 64 KiB"), 2) << Log();
}

TEST_F(BatchRunTest, AStepWithoutMemoryStopsTheRunCleansUpAndIsRecordedWithEight) {
  PlugBoard(BoardB());
  files.AddFile(kFile, ValidFile());
  files.before_operation = [](const std::string& op) {
    if (op.rfind("replace C:\\Program Files\\Z4\\BackupZ4\\Z4.INI", 0) == 0) {
      throw std::bad_alloc();
    }
  };
  EXPECT_EQ(Run("/quiet /apply C:\\batch\\a.ini"), kExitFailed);
  EXPECT_TRUE(host.boxes.empty()) << "quiet: an unattended batch never stalls on a box";
  EXPECT_EQ(Run("/apply C:\\batch\\a.ini"), kExitFailed);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find("the run was stopped"), std::string::npos);
  EXPECT_EQ(Count(Log(), "\tE\t/apply\tC:\\batch\\a.ini\t8 stopped: not enough memory\r\n"), 2);
  EXPECT_EQ(board->board().settings(), BoardB());
  ExpectBoardRootClean();
}

TEST_F(BatchRunTest, ALockFileThatCannotBeOpenedIsNotAnotherRun) {
  PlugBoard(BoardB());
  files.AddFile(kFile, ValidFile());
  files.AddFile("C:\\Program Files\\Z4\\BackupZ4.lock", "");
  files.SetReadOnly("C:\\Program Files\\Z4\\BackupZ4.lock", true);
  EXPECT_EQ(Run("/quiet /apply C:\\batch\\a.ini"), kExitNotWritten);
  EXPECT_NE(Log().find("6 not written: C:\\Program Files\\Z4\\BackupZ4.lock"), std::string::npos)
      << Log();
}

TEST_F(BatchRunTest, TheMainWindowHoldsTheLockAndASecondOneEndsWithoutTouchingAnything) {
  const std::string lock = "C:\\Program Files\\Z4\\BackupZ4.lock";
  const std::string kept = "C:\\Program Files\\Z4\\BackupZ4\\Z4.JOB";
  files.RemoveDrive('E');  // the window ends by itself at its first tick
  bool held_while_open = false;
  ui.on_create = [&](fakes::FakeDialog&) {
    FileError error = FileError::None;
    held_while_open = !files.TryOpenExclusive(lock, error) && error == FileError::InUse;
  };
  EXPECT_EQ(Run(""), kExitDone);
  EXPECT_TRUE(held_while_open) << "a batch run started now would find the lock taken";
  EXPECT_FALSE(files.Exists(lock));

  // Another copy holds the lock, or the lock cannot be opened: the window says
  // so, naming the other copy's folder or the file, and ends before it does
  // anything with the working folder or the board.
  PlugBoard(BoardB());
  struct Row {
    bool held;
    int code;
    std::string named;
  };
  for (const Row& row : {Row{true, kExitBusy, "Another copy of Z4Utility"},
                         Row{false, kExitNotWritten, "cannot open its lock file:\n" + lock}}) {
    files.AddFile(kept, "the other copy's job");
    files.AddFile(lock, "");
    files.SetHeldOpen(lock, row.held);
    files.SetReadOnly(lock, !row.held);
    host.boxes.clear();
    files.log.clear();
    EXPECT_EQ(Run(""), row.code);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_NE(host.boxes[0].text.find(row.named), std::string::npos) << host.boxes[0].text;
    EXPECT_NE(host.boxes[0].text.find(kFolder), std::string::npos) << host.boxes[0].text;
    EXPECT_EQ(files.Contents(kept), "the other copy's job");
    EXPECT_TRUE(board->board().jobs().empty());
    for (const auto& op : files.log) {
      EXPECT_EQ(op.find("BackupZ4\\"), std::string::npos) << op;
      EXPECT_EQ(op.find("E:"), std::string::npos) << op;
    }
    files.SetHeldOpen(lock, false);
    files.SetReadOnly(lock, false);
  }
}

// Only the system's refusal moves the data folder; a folder that cannot be
// written either way is named before anything is done.
struct DataFolderCase {
  const char* name;
  bool probe_held, program_read_only, local_read_only, no_local;
  const char* command;
  int code;
  std::string folder;  // the data folder, named in the message of a failure
};
const std::string kLocal = "C:\\Users\\service\\AppData\\Local\\Z4Utility";
const DataFolderCase kDataFolders[] = {
    {"probe held open", true, false, false, false, "/quiet /apply C:\\batch\\a.ini", kExitDone,
     kFolder},
    {"per-user folder read-only", false, true, true, false, "/apply C:\\batch\\a.ini",
     kExitNotWritten, kLocal},
    {"per-user folder read-only, window", false, true, true, false, "", kExitNotWritten, kLocal},
    {"no per-user folder, window", false, true, false, true, "", kExitNotWritten, kFolder},
};
void PrintTo(const DataFolderCase& c, std::ostream* os) {
  *os << c.name;
}
class DataFolderTest : public BatchRunTest, public ::testing::WithParamInterface<DataFolderCase> {};

TEST_P(DataFolderTest, IsChosenByPermissionOnlyAndAnUnwritableOneIsNamed) {
  const DataFolderCase& c = GetParam();
  PlugBoard(BoardB());
  files.AddFile(kFile, ValidFile());
  files.AddFile(std::string(kFolder) + "\\Z4Utility.probe", "");
  files.SetHeldOpen(std::string(kFolder) + "\\Z4Utility.probe", c.probe_held);
  files.AddDirectory(kLocal);
  files.SetReadOnly(kLocal, c.local_read_only);
  files.SetReadOnly(kFolder, c.program_read_only);
  if (c.no_local) system.local_app_data.reset();
  EXPECT_EQ(Run(c.command), c.code);
  EXPECT_EQ(SharedState::GetDataFolder(), c.folder);
  if (c.code == kExitDone) {
    EXPECT_NE(Log().find("\t0 done"), std::string::npos);
    return;
  }
  EXPECT_TRUE(ui.Dialogs().empty()) << "no window, no status window";
  EXPECT_TRUE(board->board().jobs().empty());
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find(c.folder), std::string::npos) << host.boxes[0].text;
}

INSTANTIATE_TEST_SUITE_P(Folders, DataFolderTest, ::testing::ValuesIn(kDataFolders));

TEST_F(BatchRunTest, AProgramFolderTheUserCannotWriteSendsEveryWrittenFileToTheDataFolder) {
  const std::string data = "C:\\Users\\service\\AppData\\Local\\Z4Utility";
  PlugBoard(BoardB());
  files.AddFile(kFile, ValidFile());
  files.AddDirectory("C:\\Users\\service\\AppData\\Local");
  files.SetReadOnly(kFolder, true);
  const auto program_files = files.List(kFolder);
  std::vector<std::string> in_backup;
  files.before_operation = [&](const std::string& op) {
    if (op.rfind("write " + data + "\\BackupZ4\\", 0) == 0) in_backup.push_back(op);
  };
  EXPECT_EQ(Run("/apply C:\\batch\\a.ini"), kExitDone);
  EXPECT_EQ(board->board().settings().density, 82);
  EXPECT_FALSE(in_backup.empty()) << "the job files were prepared there";
  EXPECT_EQ(files.List(kFolder), program_files) << "nothing written beside the program";
  EXPECT_NE(files.Contents(data + "\\Z4Utility.log").value_or("").find("\t0 done"),
            std::string::npos);
  EXPECT_FALSE(files.Exists(data + "\\BackupZ4")) << "removed after the run, as always";
}

// What /export may replace, and when: never one of the program's own files,
// only as the run's last step, and a run it cannot record says so.
struct ExportCase {
  const char* name;
  std::string option;  // before the file
  std::string file;    // as given; a file there holds "kept"
  std::string fails;   // an operation that runs out of memory, or "log" for a read-only log
  int code;
  bool replaced;     // FILE holds the board's file afterwards
  std::string said;  // in the message, or in the log line with /quiet
};
const std::string kOwn = std::string(kFolder) + "\\";
const ExportCase kExports[] = {
    {"the log", "/quiet", kOwn + "Z4Utility.log", "", kExitRefused, false,
     "\t1 command line refused: " + kOwn + "Z4Utility.log is the program's log\r\n"},
    {"the log, other letters", "/quiet", "c:\\PROGRAM files\\z4\\z4utility.LOG", "", kExitRefused,
     false, "is the program's log"},
    {"the lock", "", kOwn + "BackupZ4.lock", "", kExitRefused, false,
     "It is the lock that keeps two copies apart. Nothing was done"},
    {"a history file", "/quiet", "C:\\batch\\..\\Program Files\\Z4\\History\\000001_x_E_before.ini",
     "", kExitRefused, false, "is in the history of board writes"},
    {"in the working folder", "/quiet", kOwn + "BackupZ4\\mine.ini", "", kExitRefused, false,
     "is in the working folder BackupZ4"},
    {"a plain file", "/quiet", "C:\\batch\\out.ini", "", kExitDone, true, "\t0 done\r\n"},
    {"no memory in the clean-up", "/quiet", "C:\\batch\\out.ini", "rmdir " + kOwn + "BackupZ4",
     kExitFailed, false, "\t8 stopped"},
    {"a log that cannot be written", "", "C:\\batch\\out.ini", "log", kExitNotWritten, true,
     "The settings were exported.\n\nThe log could not be written:\n" + kOwn + "Z4Utility.log"},
};
void PrintTo(const ExportCase& c, std::ostream* os) {
  *os << c.name;
}
class ExportTargetTest : public BatchRunTest, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(ExportTargetTest, FileIsReplacedLastAndNeverOneOfTheProgramsOwn) {
  const ExportCase& c = GetParam();
  PlugBoard(BoardA());
  files.AddFile(kLog, "earlier line\r\n");
  files.AddFile(c.file, "kept");
  files.SetReadOnly(kLog, c.fails == "log");
  files.before_operation = [&](const std::string& op) {
    if (!c.fails.empty() && op == c.fails) throw std::bad_alloc();
  };
  const std::string log_before = *files.Contents(kLog);
  EXPECT_EQ(Run(c.option + " /export \"" + c.file + "\""), c.code);
  // FILE as it was (the log, when FILE names it, only added to), or the board's file.
  const std::string now = files.Contents(c.file).value_or("");
  EXPECT_EQ(c.replaced ? now : now.substr(0, 4),
            c.replaced ? sim::SettingsFileText(BoardA()) : "kept");
  EXPECT_EQ(files.Contents(kLog).value_or("").rfind(log_before, 0), 0u) << "only added to";
  if (c.code == kExitRefused) {
    EXPECT_TRUE(board->board().jobs().empty()) << "nothing done";
  }
  const std::string said = host.boxes.empty() ? Log() : host.boxes[0].text;
  EXPECT_NE(said.find(c.said), std::string::npos) << said;
}

INSTANTIATE_TEST_SUITE_P(Targets, ExportTargetTest, ::testing::ValuesIn(kExports));

struct RefusedCase {
  std::string options;
  bool recorded;  // the line names /export or /apply
};

class RefusedBatchLineTest : public BatchRunTest,
                             public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedBatchLineTest, IsRefusedBeforeTheBoardIsTouched) {
  PlugBoard(BoardB());
  files.AddFile(kFile, ValidFile());
  files.log.clear();
  EXPECT_EQ(Run(GetParam().options), kExitRefused);
  EXPECT_EQ(BoardOperations(), 0);
  EXPECT_TRUE(host.runs.empty());
  EXPECT_EQ(host.boxes.size(), GetParam().options.find("quiet") == std::string::npos ? 1u : 0u);
  EXPECT_EQ(Log().find("1 command line refused: ") != std::string::npos, GetParam().recorded)
      << Log();
}

INSTANTIATE_TEST_SUITE_P(Lines, RefusedBatchLineTest,
                         ::testing::Values(RefusedCase{"/export", true},
                                           RefusedCase{"/apply /quiet", true},
                                           RefusedCase{"/export a.ini /apply b.ini", true},
                                           RefusedCase{"/apply a.ini /adjust", true},
                                           RefusedCase{"/adjust /export a.ini", true},
                                           RefusedCase{"/export a.ini /bogus", true},
                                           RefusedCase{"/quiet", false},
                                           RefusedCase{"/quiet /drive:E", false}));

}  // namespace
}  // namespace z4
