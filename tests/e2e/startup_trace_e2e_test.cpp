// The start-up trace of the shipped program: asked for through the
// environment, it takes the opening apart step by step.
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "board_registry.h"
#include "e2e_support.h"
#include "res/resource_ids.h"

namespace z4::e2e {
namespace {

struct Mark {
  std::string phase;
  double ms;
};

std::vector<Mark> Marks(const std::string& text) {
  std::vector<Mark> marks;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    Mark m{{}, -1};
    std::string extra;
    if (!(fields >> m.phase >> m.ms) || (fields >> extra)) {
      ADD_FAILURE() << "not \"phase elapsed-ms\": " << line;
      continue;
    }
    marks.push_back(m);
  }
  return marks;
}

TEST(StartupTrace, TheVariableGivesEveryStepFromProcessStartToTheFilledWindow) {
  const std::wstring path = ProgramFolder() + L"\\startup-trace.txt";
  ASSERT_TRUE(WriteBytes(ProgramFolder() + L"\\Z4Utility.ini", "LANGUAGE=ENGLISH\r\n"));
  ASSERT_TRUE(RegisterBoardNt(L'E'));
  EmulatedBoard board;
  ASSERT_TRUE(board.Start());

  // The program inherits the variable from this process.
  SetEnvironmentVariableW(L"Z4_STARTUP_TRACE", path.c_str());
  Process utility;
  const bool started = utility.Start(ProgramPath());
  SetEnvironmentVariableW(L"Z4_STARTUP_TRACE", nullptr);
  ASSERT_TRUE(started);
  HWND window = WaitMainWindowOpened(utility.Id(), 15000);
  ASSERT_NE(window, nullptr);
  // The last mark: the window's work after its first paint is done.
  EXPECT_TRUE(
      WaitFor([&] { return ReadBytes(path).find("\ndate-lists ") != std::string::npos; }, 5000));
  Click(window, IDC_CANCEL_BUTTON);
  EXPECT_TRUE(utility.WaitExit(10000));
  const std::vector<Mark> marks = Marks(ReadBytes(path));

  std::vector<std::string> phases;
  for (const Mark& m : marks) phases.push_back(m.phase);
  EXPECT_EQ(phases,
            (std::vector<std::string>{"entry", "window-classes", "text-table", "dialog-created",
                                      "icon", "members", "window-cut", "discovery", "texts",
                                      "date-lists-emptied", "controls-disabled", "backup-folder",
                                      "timers", "first-paint", "maintenance-panel", "date-lists"}));
  ASSERT_FALSE(marks.empty());
  EXPECT_GT(marks.front().ms, 0.0) << "the process starts before its entry point";
  for (size_t i = 1; i < marks.size(); ++i) {
    EXPECT_GE(marks[i].ms, marks[i - 1].ms) << marks[i].phase;
  }
  EXPECT_LT(marks.back().ms, 15000.0);
}

}  // namespace
}  // namespace z4::e2e
