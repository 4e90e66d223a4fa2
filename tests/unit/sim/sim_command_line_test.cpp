#include <gtest/gtest.h>

#include "sim/command_line.h"

namespace z4::sim {
namespace {

TEST(SimCommandLine, ReadsEveryOption) {
  const auto read = ReadCommandLine({"--root",
                                     "/tmp/board",
                                     "--state",
                                     "s.txt",
                                     "--journal",
                                     "j.txt",
                                     "--delay",
                                     "1500",
                                     "--never-end",
                                     "--poll",
                                     "5",
                                     "--exit-after-jobs",
                                     "3",
                                     "--hold-open",
                                     "Z4.INI:2000",
                                     "--hold-open",
                                     "Z4JOB.END:300",
                                     "--refuse-ini",
                                     "--wait-unit",
                                     "0",
                                     "--levels",
                                     "levels.csv",
                                     "--board-fail",
                                     "Lamp error\\nCF error",
                                     "--qxr",
                                     "seed",
                                     "--board-log",
                                     "long.log"});
  ASSERT_EQ(read.error, "");
  const CommandLine& line = read.line;
  EXPECT_EQ(line.root, "/tmp/board");
  EXPECT_EQ(line.state, "s.txt");
  EXPECT_EQ(line.journal, "j.txt");
  EXPECT_EQ(line.poll_ms, 5);
  EXPECT_EQ(line.exit_after_jobs, 3);
  EXPECT_EQ(line.board.end_delay_ms, 1500);
  EXPECT_TRUE(line.board.never_end);
  EXPECT_TRUE(line.board.refuse_settings);
  EXPECT_EQ(line.board.wait_unit_ms, 0);
  ASSERT_EQ(line.board.holds.size(), 2u);
  EXPECT_EQ(line.board.holds[0].name, "Z4.INI");
  EXPECT_EQ(line.board.holds[0].ms, 2000);
  EXPECT_EQ(line.board.holds[1].name, "Z4JOB.END");
  EXPECT_EQ(line.levels, "levels.csv");
  EXPECT_EQ(line.board.self_test_errors, "Lamp error\\nCF error");
  EXPECT_EQ(line.qxr, "seed");
  EXPECT_EQ(line.board_log, "long.log");
  EXPECT_FALSE(line.help);
}

TEST(SimCommandLine, DefaultsRunAPlainBoardUntilKilled) {
  const auto read = ReadCommandLine({"--root", "r"});
  ASSERT_EQ(read.error, "");
  EXPECT_EQ(read.line.exit_after_jobs, 0);
  EXPECT_EQ(read.line.state, "");
  EXPECT_EQ(read.line.board.end_delay_ms, 0);
  EXPECT_FALSE(read.line.board.never_end);
  EXPECT_TRUE(read.line.board.holds.empty());
  EXPECT_FALSE(read.line.board.self_test_errors);
  EXPECT_FALSE(read.line.board.level_file);
  EXPECT_EQ(read.line.levels, "");
  EXPECT_EQ(read.line.qxr, "");
}

TEST(SimCommandLine, RootWindowsPathKeepsItsColon) {
  const auto read = ReadCommandLine({"--root", "Z:\\tmp\\root", "--hold-open", "C:x:10"});
  ASSERT_EQ(read.error, "");
  EXPECT_EQ(read.line.root, "Z:\\tmp\\root");
  EXPECT_EQ(read.line.board.holds[0].name, "C:x");
}

TEST(SimCommandLine, RejectsWhatItDoesNotUnderstand) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--state", "s"},
      {"--root"},
      {"--root", "r", "--delay"},
      {"--root", "r", "--delay", "-5"},
      {"--root", "r", "--poll", "fast"},
      {"--root", "r", "--hold-open", "Z4.INI"},
      {"--root", "r", "--hold-open", ":100"},
      {"--root", "r", "--hold-open", "Z4.INI:x"},
      {"--root", "r", "--verbose"},
      {"--root", "r", "--levels"},
      {"--root", "r", "--board-fail", ""},
      {"--root", "r", "--qxr"},
  };
  for (const auto& args : bad) {
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_NE(ReadCommandLine(args).error, "") << joined;
  }
  EXPECT_EQ(ReadCommandLine({"--root", "r", "--frobnicate"}).error, "unknown option --frobnicate");
}

TEST(SimCommandLine, HelpNeedsNoRoot) {
  const auto read = ReadCommandLine({"--help"});
  EXPECT_TRUE(read.line.help);
  EXPECT_EQ(read.error, "");
  for (const char* option :
       {"--root", "--state", "--journal", "--delay", "--never-end", "--poll", "--exit-after-jobs",
        "--hold-open", "--refuse-ini", "--wait-unit", "--levels", "--board-fail", "--qxr"}) {
    EXPECT_NE(UsageText().find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace z4::sim
