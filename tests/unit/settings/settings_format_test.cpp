// The settings file format: values, lines and whole files as bytes.
#include "settings/settings_format.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <string_view>

namespace z4 {
namespace {

AcceptedValues Parse(std::initializer_list<std::string_view> lines) {
  AcceptedValues accepted;
  for (auto line : lines) ParseSettingsLine(line, accepted);
  return accepted;
}

// ---- values

TEST(FileDate, AcceptsRealCalendarDaysFrom2000To2999) {
  for (const char* date : {"2004/01/01 00:00:00", "2000/02/29 12:00:00", "2004/02/29 23:59:59",
                           "2400/02/29 00:00:00", "2999/12/31 23:59:59", "2001/04/30 00:00:00",
                           "2001/01/31 00:00:00", "2000/01/01 00:00:00"}) {
    EXPECT_TRUE(IsValidFileDate(date)) << date;
  }
}

TEST(FileDate, RejectsImpossibleDaysAndTimes) {
  for (const char* date :
       {"2100/02/29 12:00:00", "2001/02/29 00:00:00", "2004/02/30 00:00:00", "2004/04/31 00:00:00",
        "2004/06/31 00:00:00", "2004/09/31 00:00:00", "2004/11/31 00:00:00", "1999/12/31 23:59:59",
        "3000/01/01 00:00:00", "2004/00/10 00:00:00", "2004/13/01 00:00:00", "2004/01/00 00:00:00",
        "2004/01/32 00:00:00", "2004/01/01 24:00:00", "2004/01/01 00:60:00",
        "2004/01/01 00:00:60"}) {
    EXPECT_FALSE(IsValidFileDate(date)) << date;
  }
}

TEST(FileDate, RejectsAnyOtherShape) {
  for (const char* date :
       {"", "2004/1/01 00:00:00", "2004/01/01 00:00:000", "2004-01-01 00:00:00",
        "2004/01/01T00:00:00", "2004/01/01 00.00.00", "2004/+1/01 00:00:00", "2004/ 1/01 00:00:00",
        "2004/01/01 00:00:0a", " 2004/01/01 00:00:0", "2004/01/01 00:00:00 "}) {
    EXPECT_FALSE(IsValidFileDate(date)) << date;
  }
  EXPECT_FALSE(IsValidFileDate(std::string_view("2004/01/01 00:00:0\0", 19)));
}

TEST(SettingsValues, TextToValueByKey) {
  EXPECT_EQ(ValueFromText("75", kKeyDensity), 75);
  EXPECT_EQ(ValueFromText("0045", kKeyCCFLOffTim), 45);
  EXPECT_EQ(ValueFromText("020", kKeyCCFLStabTim), 20);
  EXPECT_EQ(ValueFromText(" 80", kKeyDensity), -1);
  EXPECT_EQ(ValueFromText("", kKeyDensity), -1);
  EXPECT_EQ(ValueFromText("P", kKeyFileFormat), 0);
  EXPECT_EQ(ValueFromText("T", kKeyFileFormat), 1);
  EXPECT_EQ(ValueFromText("H", kKeySetting), 0);
  EXPECT_EQ(ValueFromText("V", kKeySetting), 1);
  EXPECT_EQ(ValueFromText("N", kKeyImageMove), 0);
  EXPECT_EQ(ValueFromText("Y", kKeyImageMove), 1);
  // Whole text, case-sensitive, and each key only its own letters.
  for (const char* text : {"p", "t", "PT", "P ", "", "H", "N", "1"}) {
    EXPECT_EQ(ValueFromText(text, kKeyFileFormat), -1) << text;
  }
  EXPECT_EQ(ValueFromText("v", kKeySetting), -1);
  EXPECT_EQ(ValueFromText("y", kKeyImageMove), -1);
  EXPECT_EQ(ValueFromText("T", kKeySetting), -1);
  EXPECT_EQ(ValueFromText("2004/01/01 00:00:00", kKeyFileDate), -1);
  EXPECT_EQ(ValueFromText("1", 7), -1);
}

TEST(SettingsValues, ValueToWrittenForm) {
  EXPECT_EQ(ValueToText(75, kKeyDensity), "75");
  EXPECT_EQ(ValueToText(7, kKeyDensity), "07");
  EXPECT_EQ(ValueToText(30, kKeyCCFLOffTim), "030");
  EXPECT_EQ(ValueToText(120, kKeyCCFLOffTim), "120");
  EXPECT_EQ(ValueToText(5, kKeyCCFLStabTim), "005");
  EXPECT_EQ(ValueToText(0, kKeyFileFormat), "P");
  EXPECT_EQ(ValueToText(1, kKeyFileFormat), "T");
  EXPECT_EQ(ValueToText(0, kKeySetting), "H");
  EXPECT_EQ(ValueToText(1, kKeySetting), "V");
  EXPECT_EQ(ValueToText(0, kKeyImageMove), "N");
  EXPECT_EQ(ValueToText(1, kKeyImageMove), "Y");
  for (int value : {2, -1, 84}) {
    EXPECT_EQ(ValueToText(value, kKeyFileFormat), "") << value;
    EXPECT_EQ(ValueToText(value, kKeyImageMove), "") << value;
  }
  EXPECT_EQ(ValueToText(1, kKeyFileDate), "");
}

// ---- one line

TEST(SettingsLine, FirstValidLineOfAKeyWins) {
  AcceptedValues a = Parse({"Density:95", "Density:80", "Density:85"});
  EXPECT_TRUE(a.accepted[kKeyDensity]);
  EXPECT_EQ(a.number[kKeyDensity], 80);
  a = Parse({"FileDate:2100/02/29 12:00:00", "FileDate:2000/02/29 12:00:00",
             "FileDate:2004/01/01 00:00:00"});
  EXPECT_EQ(a.fileDate, "2000/02/29 12:00:00");
}

TEST(SettingsLine, RangeBoundsAreIncluded) {
  const struct {
    const char* line;
    int key;
    bool accepted;
  } cases[] = {
      {"Density:69", kKeyDensity, false},
      {"Density:70", kKeyDensity, true},
      {"Density:90", kKeyDensity, true},
      {"Density:91", kKeyDensity, false},
      {"CCFLOffTim:29", kKeyCCFLOffTim, false},
      {"CCFLOffTim:030", kKeyCCFLOffTim, true},
      {"CCFLOffTim:120", kKeyCCFLOffTim, true},
      {"CCFLOffTim:121", kKeyCCFLOffTim, false},
      {"CCFLStabTim:9", kKeyCCFLStabTim, false},
      {"CCFLStabTim:10", kKeyCCFLStabTim, true},
      {"CCFLStabTim:120", kKeyCCFLStabTim, true},
      {"CCFLStabTim:121", kKeyCCFLStabTim, false},
      // 2^32 + 80 must not wrap round into range.
      {"Density:4294967376", kKeyDensity, false},
  };
  for (const auto& c : cases) EXPECT_EQ(Parse({c.line}).accepted[c.key], c.accepted) << c.line;
}

TEST(SettingsLine, SpacesCommentsAndCaseDecideWhatIsASettingsLine) {
  AcceptedValues a = Parse({"  Density:80 ; set by hand"});
  EXPECT_TRUE(a.accepted[kKeyDensity]);
  EXPECT_EQ(a.number[kKeyDensity], 80);
  a = Parse({"\tSetting:V\t \r"});
  EXPECT_EQ(a.number[kKeySetting], 1);
  a = Parse({"CCFLOffTim:0045"});
  EXPECT_EQ(a.number[kKeyCCFLOffTim], 45);
  a = Parse({"FileDate:2004/02/29 12:00:00 ; last change\r"});
  EXPECT_EQ(a.fileDate, "2004/02/29 12:00:00");

  for (const char* line : {"Density: 80", "Density :80", "density:80", ";Density:80",
                           "  ; Density:80", "DensityX:80", "Density=80", "Density:80 %",
                           "Density:8:0", "Density:", "Density", "FileFormat:p", "X Density:80"}) {
    const AcceptedValues none = Parse({line});
    for (int key = 0; key < kSettingsKeyCount; ++key) {
      EXPECT_FALSE(none.accepted[key]) << line;
    }
  }
}

TEST(SettingsLine, RewriteKeepsIndentAndKeyAndDropsValueAndComment) {
  SettingsRecord r;
  r.Density = 72;
  r.CCFLOffTim = 45;
  r.FileFormat = 0;
  r.FileDate = "2005/06/07 08:09:10";
  AcceptedValues a;
  EXPECT_EQ(RewriteSettingsLine("  Density:80 ; set by hand\r", r, a), "  Density:72");
  EXPECT_EQ(RewriteSettingsLine("Density:81", r, a), "Density:81") << "only the first is rewritten";
  EXPECT_EQ(RewriteSettingsLine("\tCCFLOffTim: 0045", r, a), "\tCCFLOffTim:045")
      << "the old value is not validated";
  EXPECT_EQ(RewriteSettingsLine("FileFormat:", r, a), "FileFormat:P");
  EXPECT_EQ(RewriteSettingsLine("FileDate:bad;x", r, a), "FileDate:2005/06/07 08:09:10");
  EXPECT_TRUE(a.accepted[kKeyDensity] && a.accepted[kKeyCCFLOffTim] && a.accepted[kKeyFileFormat] &&
              a.accepted[kKeyFileDate]);
  EXPECT_FALSE(a.accepted[kKeySetting]);
  for (const char* line : {";ImageMove:N", "imagemove:N", "ImageMove :N", "Other:1", "", "\r"}) {
    EXPECT_EQ(RewriteSettingsLine(line, r, a), line);
  }
  EXPECT_FALSE(a.accepted[kKeyImageMove]);
}

}  // namespace
}  // namespace z4
