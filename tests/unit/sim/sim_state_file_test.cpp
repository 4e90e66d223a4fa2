#include <gtest/gtest.h>

#include "sim/state_file.h"

namespace z4::sim {
namespace {

TEST(SimStateFile, RoundTripsEverySetting) {
  Settings s;
  s.density = 90;
  s.ccfl_off_minutes = 120;
  s.ccfl_stab_seconds = 10;
  s.file_format = 'P';
  s.setting = 'V';
  s.file_date = "2030/06/15 08:09:10";
  s.image_move = 'Y';
  const StateFileRead read = ReadStateFile(StateFileText(s));
  EXPECT_EQ(read.settings, s);
  EXPECT_EQ(read.error, "");
}

TEST(SimStateFile, DefaultsWriteTheDocumentedLines) {
  EXPECT_EQ(StateFileText(Settings{}),
            "; Z-4 board state\n"
            "Density=75\n"
            "CCFLOffTim=030\n"
            "CCFLStabTim=020\n"
            "FileFormat=T\n"
            "Setting=H\n"
            "FileDate=2004/01/01 00:00:00\n"
            "ImageMove=N\n");
}

TEST(SimStateFile, HandWrittenFileWithUnpaddedNumbersAndMissingKeys) {
  const StateFileRead read = ReadStateFile("CCFLOffTim=45\r\n\n; note\nDensity=80");
  Settings expected;
  expected.ccfl_off_minutes = 45;
  expected.density = 80;
  EXPECT_EQ(read.settings, expected);
  EXPECT_EQ(read.error, "");
}

TEST(SimStateFile, ReportsTheFirstBadLineAndKeepsTheGoodOnes) {
  const StateFileRead read =
      ReadStateFile("Density=99\nSetting=V\nColour=red\nImageMove:Y\nFileFormat=P\n");
  EXPECT_EQ(read.error, "line 1 \"Density=99\": invalid value");
  EXPECT_EQ(read.settings.density, 75);
  EXPECT_EQ(read.settings.setting, 'V');
  EXPECT_EQ(read.settings.file_format, 'P');
  EXPECT_EQ(read.settings.image_move, 'N');

  EXPECT_EQ(ReadStateFile("Colour=red\n").error, "line 1 \"Colour=red\": unknown key");
  EXPECT_EQ(ReadStateFile("\nImageMove:Y\n").error, "line 2 \"ImageMove:Y\": expected Key=Value");
}

}  // namespace
}  // namespace z4::sim
