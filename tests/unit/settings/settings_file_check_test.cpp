// What a file given to the board may hold, and the comparison of what the
// board holds afterwards.
#include "settings/settings_file_check.h"

#include <gtest/gtest.h>
#include <string>

#include "settings/settings_format.h"
#include "settings/settings_read_back.h"

namespace z4 {
namespace {

constexpr char kSeven[] =
    "Density:70\r\n"
    "CCFLOffTim:120\r\n"
    "CCFLStabTim:010\r\n"
    "FileFormat:T\r\n"
    "Setting:H\r\n"
    "FileDate:2000/02/29 23:59:59\r\n"
    "ImageMove:N\r\n";

TEST(CheckSettingsFile, TakesTheSevenValuesAtTheEndsOfTheirRanges) {
  const SettingsFileCheck check = CheckSettingsFile(kSeven);
  EXPECT_TRUE(check.problems.empty());
  EXPECT_EQ(check.record.Density, 70);
  EXPECT_EQ(check.record.CCFLOffTim, 120);
  EXPECT_EQ(check.record.CCFLStabTim, 10);
  EXPECT_EQ(check.record.FileFormat, 1);
  EXPECT_EQ(check.record.Setting, 0);
  EXPECT_EQ(check.record.FileDate, "2000/02/29 23:59:59");
  EXPECT_EQ(check.record.ImageMove, 0);
  EXPECT_TRUE(CheckSettingsFile(std::string("\xEF\xBB\xBF") + kSeven).problems.empty())
      << "Notepad's byte order mark";
}

TEST(CheckSettingsFile, ReadsAsTheSettingsFileReaderReads) {
  // LF line ends, comments, white space, other keys, and the same value twice.
  const SettingsFileCheck check = CheckSettingsFile(
      "; header\n"
      "  Density:85 ; medium\n"
      "Density:085\n"
      "BoardName:X\n"
      "CCFLOffTim:0090\n"
      "CCFLStabTim:120\n"
      "FileFormat:P\nSetting:V\nFileDate:2999/12/31 00:00:00\nImageMove:Y");
  EXPECT_TRUE(check.problems.empty());
  EXPECT_EQ(check.record.Density, 85);
  EXPECT_EQ(check.record.CCFLOffTim, 90);
  EXPECT_EQ(check.record.ImageMove, 1);
}

struct ProblemCase {
  std::string line;  // replaces the line of the same key in kSeven ("" removes it)
  int key;
  SettingsProblem::Kind kind;
  std::string value;
};

class CheckSettingsFileProblem : public ::testing::TestWithParam<ProblemCase> {};

TEST_P(CheckSettingsFileProblem, NamesTheKeyAndTheValue) {
  const ProblemCase& c = GetParam();
  std::string bytes = kSeven;
  const std::string key = SettingsKeyName(c.key);
  const auto at = bytes.find(key + ":");
  bytes.replace(at, bytes.find("\r\n", at) + 2 - at, c.line.empty() ? "" : c.line + "\r\n");
  const SettingsFileCheck check = CheckSettingsFile(bytes);
  ASSERT_EQ(check.problems.size(), 1u) << bytes;
  EXPECT_EQ(check.problems[0].key, c.key);
  EXPECT_EQ(check.problems[0].kind, c.kind);
  EXPECT_EQ(check.problems[0].value, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CheckSettingsFileProblem,
    ::testing::Values(
        ProblemCase{"Density:69", kKeyDensity, SettingsProblem::Unreadable, "69"},
        ProblemCase{"Density = 82 ; x", kKeyDensity, SettingsProblem::NotAKey, "Density = 82"},
        ProblemCase{"Density:95\r\nDensity:82", kKeyDensity, SettingsProblem::TwoValues, "95"},
        ProblemCase{"Density:91", kKeyDensity, SettingsProblem::Unreadable, "91"},
        ProblemCase{"Density: 80", kKeyDensity, SettingsProblem::Unreadable, " 80"},
        ProblemCase{"CCFLOffTim:040", kKeyCCFLOffTim, SettingsProblem::OffStep, "040"},
        ProblemCase{"CCFLOffTim:135", kKeyCCFLOffTim, SettingsProblem::Unreadable, "135"},
        ProblemCase{"CCFLStabTim:015", kKeyCCFLStabTim, SettingsProblem::OffStep, "015"},
        ProblemCase{"CCFLStabTim:5", kKeyCCFLStabTim, SettingsProblem::Unreadable, "5"},
        ProblemCase{"FileFormat:PNG", kKeyFileFormat, SettingsProblem::Unreadable, "PNG"},
        ProblemCase{"Setting:h", kKeySetting, SettingsProblem::Unreadable, "h"},
        ProblemCase{"FileDate:2001/02/29 00:00:00", kKeyFileDate, SettingsProblem::Unreadable,
                    "2001/02/29 00:00:00"},
        ProblemCase{"FileDate:2004/1/01 00:00:00", kKeyFileDate, SettingsProblem::Unreadable,
                    "2004/1/01 00:00:00"},
        ProblemCase{"ImageMove:1", kKeyImageMove, SettingsProblem::Unreadable, "1"},
        ProblemCase{"", kKeyImageMove, SettingsProblem::Missing, ""},
        ProblemCase{";ImageMove:N", kKeyImageMove, SettingsProblem::Missing, ""},
        ProblemCase{"imagemove:N", kKeyImageMove, SettingsProblem::NotAKey, "imagemove:N"}));

TEST(CheckSettingsFile, AnEmptyFileLacksAllSevenInKeyOrder) {
  const SettingsFileCheck check = CheckSettingsFile("");
  ASSERT_EQ(check.problems.size(), 7u);
  for (int key = 0; key < kSettingsKeyCount; ++key) {
    EXPECT_EQ(check.problems[static_cast<std::size_t>(key)].key, key);
    EXPECT_EQ(check.problems[static_cast<std::size_t>(key)].kind, SettingsProblem::Missing);
  }
}

TEST(CompareSettings, FindsTheKeysThatDifferOrAreMissing) {
  const SettingsRecord written = CheckSettingsFile(kSeven).record;
  EXPECT_TRUE(CompareSettings(written, kSeven).empty());
  // Other forms of the same values are the same values.
  EXPECT_TRUE(CompareSettings(written,
                              "ImageMove:N\nSetting:H\nDensity:70\nCCFLOffTim:0120\n"
                              "CCFLStabTim:10\nFileFormat:T\nFileDate:2000/02/29 23:59:59\n")
                  .empty());

  std::string other = kSeven;
  other.replace(other.find("CCFLStabTim:010"), 15, "CCFLStabTim:020");
  other.replace(other.find("ImageMove:N\r\n"), 13, "");
  const auto differences = CompareSettings(written, other);
  ASSERT_EQ(differences.size(), 2u);
  EXPECT_EQ(differences[0].key, kKeyCCFLStabTim);
  EXPECT_EQ(differences[0].written, "010");
  EXPECT_EQ(differences[0].read, "020");
  EXPECT_EQ(differences[1].key, kKeyImageMove);
  EXPECT_EQ(differences[1].written, "N");
  EXPECT_EQ(differences[1].read, "");
}

}  // namespace
}  // namespace z4
