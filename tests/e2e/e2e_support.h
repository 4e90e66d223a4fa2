// Driving the real Z4Utility.exe from another process, as a user would: start
// it, find its windows, read their controls, press buttons.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "board_registry.h"
#include "res/resource_ids.h"

namespace z4::e2e {

// Environment set by the test runner.
std::wstring Env(const wchar_t* name, const wchar_t* fallback = L"");
// Folder of the program under test (Z4Utility.exe), without trailing backslash.
std::wstring ProgramFolder();
std::wstring ProgramPath();

// Writes bytes to a file, replacing it.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);

class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Start(const std::wstring& exe, const std::wstring& arguments = L"");
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  // True when the process ended within `ms`; its exit code in *code.
  bool WaitExit(DWORD ms, DWORD* code = nullptr);
  void Kill();

 private:
  PROCESS_INFORMATION info_{};
};

// Top-level windows of a process with the dialog class.
std::vector<HWND> DialogsOf(DWORD process_id);
// A dialog of the process that has a child with `control_id` and is visible.
HWND FindDialogWithControl(DWORD process_id, int control_id);
// Waits until such a dialog is visible; nullptr after `ms`.
HWND WaitDialogWithControl(DWORD process_id, int control_id, DWORD ms);
// Waits until the main window is visible and has done what it does right
// after it is first painted, before anything else: its date lists hold their
// entries and its maintenance panel (out of sight in user mode) has its texts.
// nullptr after `ms`.
HWND WaitMainWindowOpened(DWORD process_id, DWORD ms);
// Message boxes: dialogs whose text is the static with id 0xFFFF.
std::vector<HWND> MessageBoxesOf(DWORD process_id);
HWND WaitMessageBox(DWORD process_id, DWORD ms);

std::wstring Text(HWND window);
std::wstring ItemText(HWND dialog, int id);
bool ItemEnabled(HWND dialog, int id);
RECT ItemRect(HWND dialog, int id);
int ComboCount(HWND dialog, int id);
std::wstring ComboItem(HWND dialog, int id, int index);
// Presses a button the way a click does, without waiting for what it opens.
void Click(HWND dialog, int id);

// Polls `done` every 20 ms until it holds or `ms` pass.
template <typename F>
bool WaitFor(F done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(20);
  }
  return true;
}

}  // namespace z4::e2e

namespace z4::e2e {

// The emulated board (z4sim.exe) working on drive E:, with its state file
// (its settings, "Key=Value" lines) and job journal in the test's own folder
// (Z4_E2E_WORK, or the program folder).
class EmulatedBoard {
 public:
  // Starts the board with the given state file text (empty: the defaults)
  // and further z4sim options.
  bool Start(const std::string& state = "", const std::wstring& options = L"");
  std::wstring StatePath() const { return Env(L"Z4_E2E_WORK", ProgramFolder().c_str()) + L"\\board.state"; }
  std::wstring JournalPath() const {
    return Env(L"Z4_E2E_WORK", ProgramFolder().c_str()) + L"\\board.journal";
  }
  // The settings the board keeps now, as "Key=Value" lines without comments.
  std::string State() const;
  std::string Journal() const { return ReadBytes(JournalPath()); }
  // True once the board's program has ended by itself (--exit-after-jobs).
  bool WaitExit(DWORD ms) { return process_.WaitExit(ms); }

 private:
  Process process_;
};

// Takes the board's drive away, as pulling the cable does; true once E: is gone.
bool Unplug();

// Sets a trackbar the way a drag that ends on `pos` does.
void DragTrackbar(HWND dialog, int id, int pos);
int TrackbarPos(HWND dialog, int id);
bool Checked(HWND dialog, int id);
// Checks one radio button of a pair and clears the other.
void ChooseRadio(HWND dialog, int id, int other);
// Types into the edit field of a combo box.
void TypeText(HWND dialog, int id, const std::wstring& text);

// Starts the program with the board on drive E and hands its main window to
// `check`; then closes it with Cancel.
template <typename Check>
void WithBoardWindow(Check check) {
  ASSERT_TRUE(RegisterBoardNt(L'E'));
  EmulatedBoard board;
  ASSERT_TRUE(board.Start());
  Process utility;
  ASSERT_TRUE(utility.Start(ProgramPath()));
  HWND window = WaitMainWindowOpened(utility.Id(), 15000);
  ASSERT_NE(window, nullptr);
  check(window);
  Click(window, IDC_CANCEL_BUTTON);
  EXPECT_TRUE(utility.WaitExit(10000));
}

}  // namespace z4::e2e
