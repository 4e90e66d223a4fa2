// The emulated board's own lines in its settings file: written with the seven,
// given new values by a file it reads, kept in its state.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "sim/settings_file.h"
#include "sim/state_file.h"

namespace z4::sim {
namespace {

Settings WithExtras(std::vector<std::string> lines) {
  Settings s;
  s.extra_lines = std::move(lines);
  return s;
}

TEST(SimExtraLines, WrittenBeforeFileDateInTheirOrder) {
  const std::string text = SettingsFileText(WithExtras({"Version:2.10", "Serial:0002"}));
  EXPECT_NE(text.find("Setting:H\r\nVersion:2.10\r\nSerial:0002\r\nFileDate:"), std::string::npos)
      << text;
}

TEST(SimExtraLines, AFileChangesTheValuesOfTheBoardsKeysOnly) {
  const Settings board = WithExtras({"Version:2.10", "Serial:0002"});
  const SettingsFileRead read = ReadSettingsFile(
      "Serial:0009\r\n"    // a key of the board: taken
      "BoardName:A-1\r\n"  // a key it does not have: ignored
      "Version:9.99",      // no CR LF: not taken
      board);
  EXPECT_EQ(read.settings.extra_lines, (std::vector<std::string>{"Version:2.10", "Serial:0009"}));
  EXPECT_EQ(read.unknown.size(), 3u) << "still listed as lines of other keys";
  EXPECT_EQ(ReadSettingsFile("Density:80\r\n", board).settings.extra_lines, board.extra_lines)
      << "a file without them keeps them";
}

TEST(SimExtraLines, StateFileKeepsThemAndLeavesTheDefaultUnwritten) {
  const Settings board = WithExtras({"Version:2.10", "BoardName:B-0002"});
  const std::string text = StateFileText(board);
  EXPECT_NE(text.find("Extra=Version:2.10\nExtra=BoardName:B-0002\n"), std::string::npos);
  const StateFileRead read = ReadStateFile(text);
  EXPECT_EQ(read.error, "");
  EXPECT_EQ(read.settings, board);

  EXPECT_EQ(StateFileText(Settings{}).find("Extra="), std::string::npos);
  EXPECT_EQ(ReadStateFile("Density=80\n").settings.extra_lines, Settings::DefaultExtraLines());
  for (const char* bad : {"Extra=Density:80", "Extra=novalue", "Extra=:x"}) {
    EXPECT_NE(ReadStateFile(bad).error, "") << bad;
  }
}

}  // namespace
}  // namespace z4::sim
