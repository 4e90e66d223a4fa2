#include "viewers/level_data.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "device/board_file_limits.h"
#include "fakes/fake_machine.h"

namespace z4 {
namespace {

std::vector<int> Series() {
  const LevelSeries& s = Levels();
  return std::vector<int>(s.values.begin(), s.values.begin() + s.count);
}

struct LineCase {
  const char* name;
  const char* line;
  std::vector<int> values;
  bool terminator;
};

class ParseLevelLineTest : public ::testing::TestWithParam<LineCase> {
 protected:
  void SetUp() override { Levels().count = 0; }
};

TEST_P(ParseLevelLineTest, AppendsTheLinesValues) {
  EXPECT_EQ(ParseLevelLine(GetParam().line), GetParam().terminator);
  EXPECT_EQ(Series(), GetParam().values);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseLevelLineTest,
    ::testing::Values(LineCase{"TenValues",
                               "WhiteLevel:10,1,2,3,4,5,6,7,8,9,10\r",
                               {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
                               false},
                      LineCase{"NineValuesAndACommaBeforeTheCr",
                               ",1,2,3,4,5,6,7,8,9,\r",
                               {1, 2, 3, 4, 5, 6, 7, 8, 9},
                               false},
                      LineCase{"AdjacentCommasAddNothing", ",10,,20\r", {10, 20}, false},
                      LineCase{
                          "NonDigitsAreMinusOne", ",+5, 6,7.5,x,8\r", {-1, -1, -1, -1, 8}, false},
                      LineCase{"FieldsBeyondTheTenthAreLeftOut",
                               ",1,2,3,4,5,6,7,8,9,10,11,12\r",
                               {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
                               false},
                      // Without its CR the last value of a line is lost.
                      LineCase{"BareLfLineLosesItsLastValue", ",1,2,3", {1, 2}, false},
                      LineCase{"OneFieldAloneAddsNothing", ",42\r", {}, false},
                      LineCase{"NoCommaAddsNothing", "BlackLevel\r", {}, false},
                      LineCase{"Terminator", ";\r", {}, true},
                      LineCase{"TerminatorAfterWhiteSpace", "  \t;\r", {}, true},
                      LineCase{"SemicolonFollowedByMoreIsNoTerminator", ";x\r", {}, false},
                      LineCase{"SemicolonWithoutCrIsNoTerminator", ";", {}, false},
                      LineCase{"SemicolonAfterTextIsNoTerminator", "a;\r", {}, false},
                      LineCase{"EmptyLine", "", {}, false}),
    [](const auto& info) { return info.param.name; });

TEST(ParseLevelLineTableTest, ValuesBeyondTheTableAreLeftOutAndNothingIsOverwritten) {
  Levels().count = kLevelTableSize - 3;
  Levels().values[kLevelTableSize - 1] = 777;
  ParseLevelLine(",1,2,3,4,5\r");
  EXPECT_EQ(Levels().count, kLevelTableSize);
  EXPECT_EQ(Levels().values[kLevelTableSize - 1], 3);
}

// The file through the ports: fetched from the board, then read.
class LevelFileTest : public ::testing::Test, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    SharedState::SetDeviceDrive("E");
    SharedState::SetDeviceFound(1);
    files.AddDrive('E');
    files.AddDirectory("C:\\Program Files\\Z4");
    Levels().count = 99;
  }
  void Board(const std::string& bytes) { files.AddFile("E:\\Z4.CSV", bytes); }
};

TEST_F(LevelFileTest, TheSectionRunsFromWhiteLevelToTheTerminatorAndTheKeysAroundIt) {
  Board(
      "BlackLevel:,010\r\n"
      "Junk,5,6\r\n"
      " WhiteLevel:3,1,2,3\r\n"
      "MaxLevel:,255\r\n"  // inside the section: a data line with one field, which adds nothing
      ",4,5\r\n"
      ";\r\n"
      ",6,7\r\n"
      "BlackLevel:,012\r\n");
  ASSERT_TRUE(LoadLevelData(ports));
  EXPECT_EQ(Series(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(Levels().file_path, "C:\\Program Files\\Z4\\BackupZ4\\Z4.CSV");
  EXPECT_EQ(ReadLevelKey(ports, kBlackLevel), ":012") << "the last line wins";
  EXPECT_EQ(ReadLevelKey(ports, kMaxLevel), "255");
}

TEST_F(LevelFileTest, WhatLoadsNothing) {
  for (const char* bytes : {"WhiteLevel:2,1,2\r\n,3,4\r\n",        // no terminator
                            "BlackLevel:,010\r\n,1,2,3\r\n;\r\n",  // no WhiteLevel line
                            "WhiteLevel:2,1,2\n,3,4\n;\n",         // bare LF ends
                            "whitelevel:2,1,2\r\n;\r\n"}) {        // the key's case matters
    SCOPED_TRACE(bytes);
    Board(bytes);
    EXPECT_FALSE(LoadLevelData(ports));
    EXPECT_EQ(Levels().count, 0) << "no partial series";
  }
  files.Delete("E:\\Z4.CSV");
  EXPECT_FALSE(LoadLevelData(ports)) << "no file on the board";
  EXPECT_EQ(Levels().count, 0);
}

TEST_F(LevelFileTest, AFileFarLargerThanTheBoardWritesLoadsNothing) {
  // A valid file, padded with data lines to just past the bound.
  std::string bytes = "MaxLevel:,255\r\nWhiteLevel:3,1,2,3\r\n";
  while (bytes.size() <= kLevelFileLimit) bytes += ",,,,,,,,,,\r\n";
  Board(bytes + ";\r\n");
  EXPECT_FALSE(LoadLevelData(ports));
  EXPECT_EQ(Levels().count, 0);
  EXPECT_EQ(ReadLevelKey(ports, kMaxLevel), "");
  Board("MaxLevel:,255\r\nWhiteLevel:3,1,2,3\r\n;\r\n");
  EXPECT_TRUE(LoadLevelData(ports)) << "the same file at its usual size";
}

TEST_F(LevelFileTest, KeyValuesAreTheThreeCharactersAfterTheFirstComma) {
  EXPECT_EQ(LevelKeyIn("MaxLevel:,25\r\n", kMaxLevel), "25\r") << "the CR is among them";
  EXPECT_EQ(LevelKeyIn("MaxLevel:,2550\r\n", kMaxLevel), "255");
  EXPECT_EQ(LevelKeyIn("  MaxLevel:x,999\r\n", kMaxLevel), "999");
  EXPECT_EQ(LevelKeyIn("MaxLevel :,999\r\n", kMaxLevel), "") << "trailing space is part of the key";
  EXPECT_EQ(LevelKeyIn("MaxLevel,999\r\n", kMaxLevel), "") << "no colon, no key";
  EXPECT_EQ(LevelKeyIn("MaxLevel:999\r\n", kMaxLevel), "") << "no comma";
  EXPECT_EQ(LevelKeyIn("BlackLevel:,012\r\nBlackLevel:,034\r\n", kBlackLevel), ":034");
  EXPECT_EQ(LevelKeyIn("BlackLevel:,012\r\n", 2), "");
}

TEST_F(LevelFileTest, ReadLevelKeyWithoutAnyCopyIsEmpty) {
  SharedState::SetDeviceFound(0);
  EXPECT_EQ(ReadLevelKey(ports, kMaxLevel), "");
  // A copy left from before is read as it is when the fetch fails.
  files.AddFile("C:\\Program Files\\Z4\\BackupZ4\\Z4.CSV", "MaxLevel:,128\r\n");
  EXPECT_EQ(ReadLevelKey(ports, kMaxLevel), "128");
}

}  // namespace
}  // namespace z4
