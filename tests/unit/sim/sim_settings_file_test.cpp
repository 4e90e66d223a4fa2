#include <gtest/gtest.h>

#include "sim/settings_file.h"

namespace z4::sim {
namespace {

Settings Changed() {
  Settings s;
  s.density = 88;
  s.ccfl_off_minutes = 45;
  s.ccfl_stab_seconds = 100;
  s.file_format = 'P';
  s.setting = 'V';
  s.file_date = "2012/02/29 23:59:58";
  s.image_move = 'Y';
  return s;
}

TEST(SimSettingsFileWriter, WritesCommentKeysAndAForeignKeyWithCrLf) {
  EXPECT_EQ(SettingsFileText(Settings{}),
            "; Z-4 user settings\r\n"
            "Density:75\r\n"
            "CCFLOffTim:030\r\n"
            "CCFLStabTim:020\r\n"
            "FileFormat:T\r\n"
            "Setting:H\r\n"
            "Version:1.00\r\n"
            "FileDate:2004/01/01 00:00:00\r\n"
            "ImageMove:N\r\n");
}

TEST(SimSettingsFileWriter, WhatTheBoardWritesItReadsBackWhole) {
  const SettingsFileRead read = ReadSettingsFile(SettingsFileText(Changed()), Settings{});
  EXPECT_EQ(read.settings, Changed());
  EXPECT_EQ(read.applied.size(), 7u);
  EXPECT_TRUE(read.rejected.empty());
  ASSERT_EQ(read.unknown.size(), 1u);
  EXPECT_EQ(read.unknown[0], "Version:1.00");
}

TEST(SimSettingsFileReader, AppliesValidKeysAndKeepsTheRest) {
  Settings current = Changed();
  const SettingsFileRead read = ReadSettingsFile(
      "Density:80\r\n"
      "CCFLOffTim:200\r\n"                // out of range
      "FileFormat:t\r\n"                  // lower case
      "FileDate:2100/02/29 12:00:00\r\n"  // no such day
      "ImageMove:N\r\n",
      current);
  Settings expected = current;
  expected.density = 80;
  expected.image_move = 'N';
  EXPECT_EQ(read.settings, expected);
  EXPECT_EQ(read.applied, (std::vector<Key>{Key::kDensity, Key::kImageMove}));
  EXPECT_EQ(read.rejected, (std::vector<std::string>{"CCFLOffTim:200", "FileFormat:t",
                                                     "FileDate:2100/02/29 12:00:00"}));
}

TEST(SimSettingsFileReader, FirstValidLineOfAKeyWins) {
  const SettingsFileRead read = ReadSettingsFile(
      "Density:95\r\n"  // invalid, does not count
      "Density:85\r\n"
      "Density:80\r\n",
      Settings{});
  EXPECT_EQ(read.settings.density, 85);
  EXPECT_EQ(read.rejected, std::vector<std::string>{"Density:95"});
}

TEST(SimSettingsFileReader, CommentsAndSurroundingBlanksAreIgnored) {
  const SettingsFileRead read = ReadSettingsFile(
      ";Density:71\r\n"
      "  Density:80   ; percent\r\n"
      "\tSetting:V\r\n"
      "\r\n",
      Settings{});
  EXPECT_EQ(read.settings.density, 80);
  EXPECT_EQ(read.settings.setting, 'V');
  EXPECT_TRUE(read.rejected.empty());
  EXPECT_TRUE(read.unknown.empty());
}

TEST(SimSettingsFileReader, RejectsBlanksInsideAndMisspelledKeys) {
  const SettingsFileRead read = ReadSettingsFile(
      "Density: 80\r\n"
      "Density :81\r\n"
      "density:82\r\n",
      Settings{});
  EXPECT_EQ(read.settings, Settings{});
  EXPECT_EQ(read.rejected, std::vector<std::string>{"Density: 80"});
  EXPECT_EQ(read.unknown, (std::vector<std::string>{"Density :81", "density:82"}));
}

TEST(SimSettingsFileReader, TakesOnlyLinesEndingInCrLf) {
  const SettingsFileRead read = ReadSettingsFile(
      "Density:80\n"
      "Setting:V\r\n"
      "ImageMove:Y",  // no line end at all
      Settings{});
  EXPECT_EQ(read.settings.density, 75);
  EXPECT_EQ(read.settings.setting, 'V');
  EXPECT_EQ(read.settings.image_move, 'N');
  EXPECT_EQ(read.rejected, (std::vector<std::string>{"Density:80", "ImageMove:Y"}));
}

TEST(SimSettingsFileReader, AnEmptyFileChangesNothing) {
  const SettingsFileRead read = ReadSettingsFile("", Changed());
  EXPECT_EQ(read.settings, Changed());
  EXPECT_TRUE(read.applied.empty());
}

}  // namespace
}  // namespace z4::sim
