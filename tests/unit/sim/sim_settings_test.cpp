#include <gtest/gtest.h>

#include "sim/settings.h"

namespace z4::sim {
namespace {

TEST(SimSettingValues, NumbersTakeTheirRangeInTheBoardsWidth) {
  struct Case {
    Key key;
    const char* text;
    bool valid;
  };
  const Case cases[] = {
      {Key::kDensity, "70", true},      {Key::kDensity, "90", true},
      {Key::kDensity, "69", false},     {Key::kDensity, "91", false},
      {Key::kDensity, "075", false},    {Key::kDensity, "8", false},
      {Key::kDensity, "-8", false},     {Key::kDensity, " 80", false},
      {Key::kCcflOffTim, "030", true},  {Key::kCcflOffTim, "120", true},
      {Key::kCcflOffTim, "029", false}, {Key::kCcflOffTim, "121", false},
      {Key::kCcflOffTim, "45", false},  {Key::kCcflOffTim, "0045", false},
      {Key::kCcflStabTim, "010", true}, {Key::kCcflStabTim, "009", false},
      {Key::kCcflStabTim, "120", true}, {Key::kCcflStabTim, "1e2", false},
  };
  for (const Case& c : cases) {
    Settings settings;
    EXPECT_EQ(SetValue(settings, c.key, c.text, Width::kExact), c.valid)
        << KeyName(c.key) << ":" << c.text;
  }
}

TEST(SimSettingValues, LooseWidthTakesUnpaddedNumbersButNotLongerOnes) {
  Settings settings;
  EXPECT_TRUE(SetValue(settings, Key::kCcflOffTim, "45", Width::kUpTo));
  EXPECT_EQ(settings.ccfl_off_minutes, 45);
  EXPECT_TRUE(SetValue(settings, Key::kCcflStabTim, "10", Width::kUpTo));
  EXPECT_EQ(settings.ccfl_stab_seconds, 10);
  EXPECT_FALSE(SetValue(settings, Key::kCcflOffTim, "0045", Width::kUpTo));
  EXPECT_FALSE(SetValue(settings, Key::kDensity, "", Width::kUpTo));
  EXPECT_EQ(settings.ccfl_off_minutes, 45);
}

TEST(SimSettingValues, SwitchesTakeOnlyTheirTwoCapitalLetters) {
  Settings settings;
  EXPECT_TRUE(SetValue(settings, Key::kFileFormat, "P", Width::kExact));
  EXPECT_TRUE(SetValue(settings, Key::kSetting, "V", Width::kExact));
  EXPECT_TRUE(SetValue(settings, Key::kImageMove, "Y", Width::kExact));
  for (const char* text : {"p", "PNG", "", "H", "0", "T "}) {
    EXPECT_FALSE(SetValue(settings, Key::kFileFormat, text, Width::kExact)) << text;
  }
  EXPECT_FALSE(SetValue(settings, Key::kSetting, "T", Width::kExact));
  EXPECT_FALSE(SetValue(settings, Key::kImageMove, "y", Width::kExact));
  EXPECT_EQ(settings.file_format, 'P');
  EXPECT_EQ(settings.setting, 'V');
  EXPECT_EQ(settings.image_move, 'Y');
}

TEST(SimSettingValues, ARejectedValueLeavesTheSettingAsItWas) {
  Settings settings;
  settings.density = 82;
  EXPECT_FALSE(SetValue(settings, Key::kDensity, "95", Width::kExact));
  EXPECT_FALSE(SetValue(settings, Key::kFileDate, "2004/13/01 00:00:00", Width::kExact));
  EXPECT_EQ(settings.density, 82);
  EXPECT_EQ(settings.file_date, "2004/01/01 00:00:00");
}

TEST(SimSettingValues, WrittenFormsArePaddedToTheBoardsWidth) {
  Settings settings;
  settings.density = 70;
  settings.ccfl_off_minutes = 45;
  settings.ccfl_stab_seconds = 120;
  settings.file_format = 'P';
  EXPECT_EQ(ValueText(settings, Key::kDensity), "70");
  EXPECT_EQ(ValueText(settings, Key::kCcflOffTim), "045");
  EXPECT_EQ(ValueText(settings, Key::kCcflStabTim), "120");
  EXPECT_EQ(ValueText(settings, Key::kFileFormat), "P");
  EXPECT_EQ(ValueText(Settings{}, Key::kCcflStabTim), "020");
}

TEST(SimSettingValues, KeysAreMatchedExactly) {
  for (Key key : kKeys) EXPECT_EQ(KeyNamed(KeyName(key)), key);
  EXPECT_FALSE(KeyNamed("density"));
  EXPECT_FALSE(KeyNamed("Density "));
  EXPECT_FALSE(KeyNamed("CCFLOffTime"));
}

TEST(SimFileDate, AcceptsRealDaysOfTheYears2000To2999) {
  for (const char* date : {"2000/01/01 00:00:00", "2999/12/31 23:59:59", "2000/02/29 12:00:00",
                           "2024/02/29 00:00:00", "2004/04/30 10:20:30"}) {
    EXPECT_TRUE(IsValidFileDate(date)) << date;
  }
}

TEST(SimFileDate, RejectsImpossibleDaysAndTimes) {
  for (const char* date :
       {"2100/02/29 12:00:00",  // 2100 is not a leap year
        "2023/02/29 00:00:00",  // nor is 2023
        "2004/04/31 00:00:00", "2004/06/31 00:00:00", "2004/09/31 00:00:00", "2004/11/31 00:00:00",
        "2004/01/32 00:00:00", "2004/00/10 00:00:00", "2004/01/00 00:00:00", "2004/13/01 00:00:00",
        "1999/12/31 23:59:59", "3000/01/01 00:00:00", "2004/01/01 24:00:00", "2004/01/01 00:60:00",
        "2004/01/01 00:00:60"}) {
    EXPECT_FALSE(IsValidFileDate(date)) << date;
  }
}

TEST(SimFileDate, RejectsOtherShapes) {
  for (const char* date : {"2004/1/01 00:00:00", "2004/01/01 00:00:00 ", "2004-01-01 00:00:00",
                           "2004/01/01T00:00:00", "2004/01/01 00.00:00", "2004/01/01 00:00.00",
                           "20a4/01/01 00:00:00", "2004/01/01 0 :00:00", ""}) {
    EXPECT_FALSE(IsValidFileDate(date)) << date;
  }
}

}  // namespace
}  // namespace z4::sim
