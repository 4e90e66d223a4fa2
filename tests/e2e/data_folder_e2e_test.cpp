// The program where the user may only read its folder (Program Files for a
// standard user) and where the user may write it (a copied folder): it works
// the same way, and everything it writes lands in one data folder.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#include "board_registry.h"
#include "e2e_support.h"
#include "res/resource_ids.h"

namespace z4::e2e {
namespace {

const char kBoardState[] = "Density=80\nCCFLOffTim=045\n";

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The per-user data folder: the local application data folder + "\Z4Utility".
std::wstring UsersDataFolder() {
  wchar_t local[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local);
  return std::wstring(local) + L"\\Z4Utility";
}

bool ReadOnly() {
  return Env(L"Z4_E2E_READONLY") == L"1";
}

// Where the program should write.
std::wstring DataFolder() {
  return ReadOnly() ? UsersDataFolder() : ProgramFolder();
}

// Prints the names that match a pattern, for the run's log.
void PrintFolder(const std::wstring& pattern) {
  std::printf("%ls:\n", pattern.c_str());
  WIN32_FIND_DATAW found{};
  HANDLE list = FindFirstFileW(pattern.c_str(), &found);
  for (bool more = list != INVALID_HANDLE_VALUE; more; more = FindNextFileW(list, &found)) {
    std::printf("  %ls\n", found.cFileName);
  }
  if (list != INVALID_HANDLE_VALUE) FindClose(list);
}

// Sets the density in the window and waits until the Set has ended.
void SetDensity(HWND w, int density) {
  DragTrackbar(w, IDC_DENSITY_TRACKBAR, density);
  Click(w, IDC_SET);
  ASSERT_TRUE(WaitFor([&] { return !ItemEnabled(w, IDC_SET); }, 5000));
  ASSERT_TRUE(WaitFor([&] { return ItemEnabled(w, IDC_SET); }, 30000)) << "the Set never ended";
}

// The board on E: as Windows 10 records it, and the program's window once it
// shows the board's settings; nullptr when it does not.
HWND OpenWithBoard(EmulatedBoard& board, Process& utility) {
  if (!RegisterBoardVolume(L'E', 0) || !board.Start(kBoardState)) return nullptr;
  if (!utility.Start(ProgramPath())) return nullptr;
  HWND w = WaitMainWindowOpened(utility.Id(), 15000);
  return w && WaitFor([&] { return ItemEnabled(w, IDC_SET); }, 30000) ? w : nullptr;
}

// Runs the program to its end; its exit code, or 999.
DWORD RunToEnd(const std::wstring& arguments) {
  Process utility;
  DWORD code = 999;
  if (utility.Start(ProgramPath(), arguments)) utility.WaitExit(60000, &code);
  return code;
}

TEST(DataFolder, TheProgramWorksAndWritesOnlyIntoItsDataFolder) {
  // Where the program should write, and where it must not.
  const std::wstring data = DataFolder();
  const std::wstring other = ReadOnly() ? ProgramFolder() : UsersDataFolder();
  EmulatedBoard board;

  // The window: its texts, the board's settings, and a Set that reaches the board.
  {
    Process utility;
    HWND w = OpenWithBoard(board, utility);
    ASSERT_NE(w, nullptr) << "no window with the board's settings";
    EXPECT_EQ(Text(w), L"Z-4 Setup Utility");
    EXPECT_EQ(ItemText(w, IDC_LBL_BOARD), L"Board");
    EXPECT_EQ(TrackbarPos(w, IDC_DENSITY_TRACKBAR), 80);
    SetDensity(w, 85);
    EXPECT_TRUE(MessageBoxesOf(utility.Id()).empty());
    Click(w, IDC_CANCEL_BUTTON);
    EXPECT_TRUE(utility.WaitExit(10000));
  }
  EXPECT_NE(board.State().find("Density=85\n"), std::string::npos) << board.State();

  // The runs without the window.
  const std::wstring file = Env(L"Z4_E2E_WORK") + L"\\settings.ini";
  EXPECT_EQ(RunToEnd(L"/quiet /drive:E /export \"" + file + L"\""), 0u);
  ASSERT_TRUE(WriteBytes(file,
                         "Density:75\r\nCCFLOffTim:045\r\nCCFLStabTim:020\r\nFileFormat:T\r\n"
                         "Setting:H\r\nFileDate:2004/01/01 00:00:00\r\nImageMove:N\r\n"));
  EXPECT_EQ(RunToEnd(L"/quiet /apply \"" + file + L"\""), 0u);
  EXPECT_NE(board.State().find("Density=75\n"), std::string::npos) << board.State();
  const std::string log = ReadBytes(data + L"\\Z4Utility.log");
  EXPECT_NE(log.find("/export"), std::string::npos) << log;
  EXPECT_NE(log.find("/apply"), std::string::npos) << log;

  // Test/adjust mode: the graph saved as Level.bmp. The board's second unit
  // now holds the letter.
  ASSERT_TRUE(RegisterBoardVolume(L'E', 1));
  Process adjust;
  ASSERT_TRUE(adjust.Start(ProgramPath(), L"/adjust"));
  HWND w = WaitDialogWithControl(adjust.Id(), IDC_EXECUTE, 15000);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ItemEnabled(w, IDC_EXECUTE); }, 30000));
  SendDlgItemMessageW(w, IDC_ITEM_WAVE, BM_SETCHECK, BST_CHECKED, 0);
  Click(w, IDC_EXECUTE);
  HWND graph = WaitDialogWithControl(adjust.Id(), IDC_GRAPH_FRAME, 30000);
  ASSERT_NE(graph, nullptr);
  Click(graph, IDC_GRAPH_SAVE);
  EXPECT_TRUE(WaitFor([&] { return ReadBytes(data + L"\\Level.bmp").size() == 1782054; }, 20000));
  ASSERT_TRUE(WaitFor([&] { return ItemEnabled(graph, IDC_GRAPH_SAVE); }, 10000));
  EXPECT_TRUE(MessageBoxesOf(adjust.Id()).empty()) << "no message that the save failed";
  Click(graph, IDC_GRAPH_END);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(graph); }, 10000));
  Click(w, IDC_CANCEL_BUTTON);
  EXPECT_TRUE(adjust.WaitExit(10000));

  // Nothing the program writes went anywhere else.
  for (const wchar_t* name : {L"\\Z4Utility.log", L"\\Level.bmp", L"\\BackupZ4", L"\\BackupZ4.lock",
                              L"\\Z4Utility.probe"}) {
    EXPECT_FALSE(Exists(other + name)) << "in " << std::string(other.begin(), other.end());
  }
  EXPECT_FALSE(Exists(data + L"\\BackupZ4")) << "the working folder goes when the program ends";
  PrintFolder(data + L"\\*");
}

// Every Set is kept in the history; the first one is undone with /apply.
TEST(History, TwoSetsFromTheWindowUndoneWithApply) {
  const std::wstring data = DataFolder();
  const std::wstring history = data + L"\\History";
  DeleteFileW((data + L"\\Z4Utility.log").c_str());  // this test's lines only
  EmulatedBoard board;
  Process utility;
  HWND w = OpenWithBoard(board, utility);
  ASSERT_NE(w, nullptr) << "no window with the board's settings";
  for (const int density : {85, 90}) {
    SetDensity(w, density);
    Sleep(1100);  // the next Set's files get a name of their own second
  }
  Click(w, IDC_CANCEL_BUTTON);
  EXPECT_TRUE(utility.WaitExit(10000));
  EXPECT_NE(board.State().find("Density=90\n"), std::string::npos) << board.State();

  // The log names the first Set's before file, which holds the board as it was.
  const std::string sets = ReadBytes(data + L"\\Z4Utility.log");
  const auto field = sets.find("\tset\t") + 5;
  const std::string first = sets.substr(field, sets.find('\t', field) - field);
  ASSERT_NE(first.find("_E_before.ini"), std::string::npos) << sets;
  EXPECT_EQ(RunToEnd(L"/quiet /apply \"" + std::wstring(first.begin(), first.end()) + L"\""), 0u);
  EXPECT_NE(board.State().find("Density=80\n"), std::string::npos) << board.State();

  PrintFolder(history + L"\\*.ini");
  const std::string log = ReadBytes(data + L"\\Z4Utility.log");
  std::printf("%s", log.c_str());
  EXPECT_NE(log.find("\tset\t"), log.rfind("\tset\t")) << "two Sets";
  EXPECT_NE(log.find("done: Density 80\xE2\x86\x92"
                     "85"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("done: Density 85\xE2\x86\x92"
                     "90"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("/apply"), std::string::npos) << log;
  EXPECT_NE(log.find("0 done: Density 90\xE2\x86\x92"
                     "80"),
            std::string::npos)
      << log;
}

}  // namespace
}  // namespace z4::e2e
