// Sets from the real window in both modes, on a board that takes them and on
// one that keeps its values: the log, the history and the message say what the
// board holds. And a second window beside the first.
#include <windows.h>

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#include "board_registry.h"
#include "e2e_support.h"
#include "res/resource_ids.h"

namespace z4::e2e {
namespace {

std::wstring Data(const wchar_t* name) {
  return ProgramFolder() + L"\\" + name;
}

// The window of a started program once it shows the board's settings.
HWND OpenedWindow(Process& utility, bool adjust) {
  HWND w = adjust ? WaitDialogWithControl(utility.Id(), IDC_EXECUTE, 15000)
                  : WaitMainWindowOpened(utility.Id(), 15000);
  return w && WaitFor([&] { return ItemEnabled(w, IDC_SET); }, 30000) ? w : nullptr;
}

void PrintNames(const std::wstring& pattern) {
  WIN32_FIND_DATAW found{};
  HANDLE list = FindFirstFileW(pattern.c_str(), &found);
  for (bool more = list != INVALID_HANDLE_VALUE; more; more = FindNextFileW(list, &found)) {
    std::printf("  %ls\n", found.cFileName);
  }
  if (list != INVALID_HANDLE_VALUE) FindClose(list);
}

// Deletes the files that match a pattern in the data folder.
void DeleteAll(const std::wstring& folder, const wchar_t* pattern) {
  WIN32_FIND_DATAW found{};
  HANDLE list = FindFirstFileW(Data((folder + pattern).c_str()).c_str(), &found);
  for (bool more = list != INVALID_HANDLE_VALUE; more; more = FindNextFileW(list, &found)) {
    DeleteFileW(Data((folder + found.cFileName).c_str()).c_str());
  }
  if (list != INVALID_HANDLE_VALUE) FindClose(list);
}

TEST(CheckedSet, TakenAndRefusedInBothModes) {
  // This test's lines and history files only.
  DeleteFileW(Data(L"Z4Utility.log").c_str());
  DeleteAll(L"History\\", L"*.ini");
  struct Row {
    bool adjust, refuse;
    int from, to;
  };
  for (const Row& row : {Row{false, false, 80, 85}, Row{true, false, 85, 90},
                         Row{false, true, 90, 75}, Row{true, true, 90, 72}}) {
    SCOPED_TRACE((row.adjust ? "/adjust" : "user mode") +
                 std::string(row.refuse ? ", refusing board" : ""));
    EmulatedBoard board;
    ASSERT_TRUE(RegisterBoardVolume(L'E', row.adjust ? 1 : 0));
    ASSERT_TRUE(board.Start("Density=" + std::to_string(row.from) + "\n",
                            row.refuse ? L"--refuse-ini" : L""));
    Process utility;
    ASSERT_TRUE(utility.Start(ProgramPath(), row.adjust ? L"/adjust" : L""));
    HWND w = OpenedWindow(utility, row.adjust);
    ASSERT_NE(w, nullptr);
    DragTrackbar(w, IDC_DENSITY_TRACKBAR, row.to);
    Click(w, IDC_SET);
    ASSERT_TRUE(WaitFor([&] { return !ItemEnabled(w, IDC_SET); }, 5000));
    if (row.refuse) {
      HWND box = WaitMessageBox(utility.Id(), 60000);
      ASSERT_NE(box, nullptr) << "the user is told";
      EXPECT_EQ(ItemText(box, 0xFFFF), L"The settings could not be written to the Z-4 board.");
      Click(box, IDOK);
    }
    ASSERT_TRUE(WaitFor([&] { return ItemEnabled(w, IDC_SET); }, 60000)) << "the Set never ended";
    const int held = row.refuse ? row.from : row.to;
    EXPECT_EQ(TrackbarPos(w, IDC_DENSITY_TRACKBAR), held) << "the panel shows what the board holds";
    EXPECT_TRUE(MessageBoxesOf(utility.Id()).empty());
    Click(w, IDC_CANCEL_BUTTON);
    EXPECT_TRUE(utility.WaitExit(10000));
    EXPECT_NE(board.State().find("Density=" + std::to_string(held) + "\n"), std::string::npos)
        << board.State();
  }
  const std::string log = ReadBytes(Data(L"Z4Utility.log"));
  std::printf("Z4Utility.log:\n%s\nHistory:\n", log.c_str());
  PrintNames(Data(L"History\\*.ini"));
  for (const char* outcome : {"\tdone: Density 80\xE2\x86\x92"
                              "85\r\n",
                              "\tdone: Density 85\xE2\x86\x92"
                              "90\r\n",
                              "\tnot taken: Density: written 75, read 90\r\n",
                              "\tnot taken: Density: written 72, read 90\r\n"}) {
    EXPECT_NE(log.find(outcome), std::string::npos) << outcome;
  }
  // Each Set's before and after files.
  for (const wchar_t* name : {L"000001_*_E_before.ini", L"000001_*_E_after.ini",
                              L"000004_*_E_before.ini", L"000004_*_E_after.ini"}) {
    WIN32_FIND_DATAW found{};
    HANDLE list = FindFirstFileW(Data((L"History\\" + std::wstring(name)).c_str()).c_str(), &found);
    EXPECT_NE(list, INVALID_HANDLE_VALUE) << "no " << std::string(name, name + wcslen(name));
    if (list != INVALID_HANDLE_VALUE) FindClose(list);
  }
}

TEST(SecondCopy, EndsWithoutTouchingTheBoardOrTheWorkingFolder) {
  EmulatedBoard board;
  ASSERT_TRUE(RegisterBoardVolume(L'E', 0));
  ASSERT_TRUE(board.Start("Density=80\n"));
  Process first;
  ASSERT_TRUE(first.Start(ProgramPath()));
  HWND w = OpenedWindow(first, false);
  ASSERT_NE(w, nullptr);
  const std::string job = ReadBytes(Data(L"BackupZ4\\Z4.JOB"));
  const std::string journal = board.Journal();

  Process second;
  ASSERT_TRUE(second.Start(ProgramPath()));
  HWND box = WaitMessageBox(second.Id(), 15000);
  ASSERT_NE(box, nullptr);
  const std::wstring text = ItemText(box, 0xFFFF);
  std::printf("the second window says: %ls\n", text.c_str());
  EXPECT_NE(text.find(L"Another copy of Z4Utility"), std::wstring::npos);
  EXPECT_NE(text.find(ProgramFolder()), std::wstring::npos);
  EXPECT_EQ(FindDialogWithControl(second.Id(), IDC_SET), nullptr) << "no window of its own";
  Click(box, IDOK);
  DWORD code = 0;
  ASSERT_TRUE(second.WaitExit(10000, &code));
  EXPECT_EQ(code, 7u);
  EXPECT_EQ(ReadBytes(Data(L"BackupZ4\\Z4.JOB")), job) << "the first copy's files stay";
  EXPECT_EQ(board.Journal(), journal) << "no job reached the board";

  // The first copy goes on as before.
  DragTrackbar(w, IDC_DENSITY_TRACKBAR, 85);
  Click(w, IDC_SET);
  ASSERT_TRUE(WaitFor([&] { return !ItemEnabled(w, IDC_SET); }, 5000));
  ASSERT_TRUE(WaitFor([&] { return ItemEnabled(w, IDC_SET); }, 30000));
  EXPECT_TRUE(MessageBoxesOf(first.Id()).empty());
  Click(w, IDC_CANCEL_BUTTON);
  EXPECT_TRUE(first.WaitExit(10000));
  EXPECT_NE(board.State().find("Density=85\n"), std::string::npos) << board.State();
}

}  // namespace
}  // namespace z4::e2e
