// /export and /apply through the real program: one board's settings exported
// to a file and applied to another board, and the exit codes of failures.
#include <windows.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

#include "board_registry.h"
#include "e2e_support.h"
#include "res/resource_ids.h"

namespace z4::e2e {
namespace {

// Board A's state: its seven settings and one key of its own.
const char kStateA[] =
    "Density=82\nCCFLOffTim=045\nCCFLStabTim=030\nFileFormat=P\nSetting=V\n"
    "FileDate=2008/02/29 13:14:15\nImageMove=Y\n"
    "Extra=Version:1.00\nExtra=BoardName:A-0001\n";
// The settings file board A writes out.
const char kFileA[] =
    "; Z-4 user settings\r\nDensity:82\r\nCCFLOffTim:045\r\nCCFLStabTim:030\r\nFileFormat:P\r\n"
    "Setting:V\r\nVersion:1.00\r\nBoardName:A-0001\r\nFileDate:2008/02/29 13:14:15\r\n"
    "ImageMove:Y\r\n";
// Board B: other values and other keys of its own.
const char kStateB[] =
    "Density=71\nCCFLOffTim=120\nCCFLStabTim=110\n"
    "Extra=Version:2.10\nExtra=BoardName:B-0002\nExtra=Serial:0002\n";

std::wstring InFolder(const wchar_t* name) {
  return ProgramFolder() + L"\\" + name;
}

struct RunResult {
  DWORD code = 999;
  bool ended = false;
  bool main_window = false;  // the settings window appeared
  std::wstring message;      // the text of the message box, closed with OK
};

// Starts the program and waits for its end, closing a message box with OK.
RunResult RunProgram(const std::wstring& arguments, DWORD ms = 60000) {
  RunResult run;
  Process utility;
  if (!utility.Start(ProgramPath(), arguments)) return run;
  run.ended = WaitFor(
      [&] {
        if (FindDialogWithControl(utility.Id(), IDC_SET)) run.main_window = true;
        for (HWND box : MessageBoxesOf(utility.Id())) {
          run.message = ItemText(box, 0xFFFF);
          SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        }
        return utility.WaitExit(0, &run.code);
      },
      ms);
  return run;
}

TEST(BatchSettings, ExportedFromBoardAAppliedToBoardBWithItsOwnKeys) {
  ASSERT_TRUE(RegisterBoardNt(L'E'));
  DeleteFileW(InFolder(L"Z4Utility.log").c_str());
  DeleteFileW(InFolder(L"a.ini").c_str());
  {
    EmulatedBoard a;
    ASSERT_TRUE(a.Start(kStateA));
    const RunResult run = RunProgram(L"/export a.ini");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code, 0u);
    EXPECT_EQ(run.message, L"");
    EXPECT_FALSE(run.main_window);
    EXPECT_EQ(ReadBytes(InFolder(L"a.ini")), kFileA) << "byte for byte as the board wrote it";
    EXPECT_EQ(a.Journal().find("SetDataIn"), std::string::npos) << "nothing written to A";
  }
  EmulatedBoard b;
  ASSERT_TRUE(b.Start(kStateB));
  const RunResult run = RunProgram(L"/drive:E /apply \"" + InFolder(L"a.ini") + L"\"");
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.code, 0u);
  EXPECT_FALSE(run.main_window);
  EXPECT_EQ(run.message, L"");
  EXPECT_EQ(b.State(),
            "Density=82\nCCFLOffTim=045\nCCFLStabTim=030\nFileFormat=P\nSetting=V\n"
            "FileDate=2008/02/29 13:14:15\nImageMove=Y\n"
            "Extra=Version:2.10\nExtra=BoardName:B-0002\nExtra=Serial:0002\n")
      << "A's seven values, B's own keys";
  for (const wchar_t* name : {L"E:\\Z4.INI", L"E:\\Z4.JOB", L"E:\\Z4JOB.END"}) {
    EXPECT_EQ(GetFileAttributesW(name), INVALID_FILE_ATTRIBUTES) << "left on the board";
  }
  const std::string log = ReadBytes(InFolder(L"Z4Utility.log"));
  const std::string file = "C:\\Z4Test\\a.ini";
  EXPECT_NE(log.find("\tE\t/export\t" + file + "\t0 done\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("\tE\t/apply\t" + file + "\t0 done: Density 71\xE2\x86\x92" "82, "),
            std::string::npos)
      << log;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
}

TEST(BatchSettings, FailuresEndWithTheirExitCodes) {
  ASSERT_TRUE(RegisterBoardNt(L'E'));
  ASSERT_TRUE(WriteBytes(InFolder(L"bad.ini"),
                         "Density:95\r\nCCFLOffTim:045\r\nCCFLStabTim:030\r\nFileFormat:P\r\n"
                         "Setting:V\r\nFileDate:2008/02/29 13:14:15\r\nImageMove:Y\r\n"));
  ASSERT_TRUE(WriteBytes(InFolder(L"good.ini"), kFileA));
  ASSERT_TRUE(WriteBytes(InFolder(L"kept.ini"), "kept"));
  {
    EmulatedBoard board;
    ASSERT_TRUE(board.Start(kStateB));
    const RunResult invalid = RunProgram(L"/apply bad.ini");
    EXPECT_EQ(invalid.code, 4u);
    EXPECT_NE(invalid.message.find(L"Density:95"), std::wstring::npos) << "names key and value";
    EXPECT_EQ(board.Journal(), "") << "nothing sent to the board";

    EXPECT_EQ(RunProgram(L"/quiet /export").code, 1u) << "refused: no file";
    EXPECT_EQ(RunProgram(L"/quiet /export kept.ini /adjust").code, 1u);
    EXPECT_EQ(board.Journal(), "");

    const RunResult none = RunProgram(L"/quiet /drive:Q /export kept.ini");
    EXPECT_EQ(none.code, 2u) << "no board on Q:";
    EXPECT_EQ(none.message, L"") << "quiet";
    EXPECT_EQ(ReadBytes(InFolder(L"kept.ini")), "kept");

    // F: is a folder mapped as a fixed disk: named as the board's drive, it
    // is refused at once and nothing on it is touched.
    ASSERT_TRUE(WriteBytes(L"F:\\Z4.INI", "the user's own file"));
    const RunResult fixed = RunProgram(L"/quiet /drive:F /apply good.ini", 20000);
    EXPECT_EQ(fixed.code, 2u);
    EXPECT_EQ(ReadBytes(L"F:\\Z4.INI"), "the user's own file");
    EXPECT_EQ(GetFileAttributesW(L"F:\\Z4.JOB"), INVALID_FILE_ATTRIBUTES);
  }
  EmulatedBoard refusing;
  ASSERT_TRUE(refusing.Start(kStateB, L"--refuse-ini"));
  const RunResult differs = RunProgram(L"/apply good.ini");
  EXPECT_EQ(differs.code, 5u);
  EXPECT_NE(differs.message.find(L"Density: written 82, read 71"), std::wstring::npos);
}

}  // namespace
}  // namespace z4::e2e
