// The command line of /export, /apply and /quiet.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace z4 {
namespace {

using Args = std::vector<std::string>;

struct BatchOptionsCase {
  Args args;
  BatchAction batch;
  std::string file;
  bool quiet;
  std::string drive;
};

class BatchOptionsAccepted : public ::testing::TestWithParam<BatchOptionsCase> {};

TEST_P(BatchOptionsAccepted, TakeTheFileAfterTheOption) {
  const BatchOptionsCase& c = GetParam();
  const ProgramOptions options = ReadProgramOptions(c.args);
  EXPECT_TRUE(options.valid) << options.rejected;
  EXPECT_EQ(options.batch, c.batch);
  EXPECT_EQ(options.batch_file, c.file);
  EXPECT_EQ(options.quiet, c.quiet);
  EXPECT_EQ(options.drive, c.drive);
  EXPECT_FALSE(options.adjust);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BatchOptionsAccepted,
    ::testing::Values(
        BatchOptionsCase{{"/export", "a.ini"}, BatchAction::Export, "a.ini", false, ""},
        BatchOptionsCase{
            {"-APPLY", "C:\\x y\\a.ini"}, BatchAction::Apply, "C:\\x y\\a.ini", false, ""},
        BatchOptionsCase{{"/quiet", "/drive:f", "/Apply", "b"}, BatchAction::Apply, "b", true, "F"},
        BatchOptionsCase{
            {"/export", "adjust", "-Quiet"}, BatchAction::Export, "adjust", true, ""}));

struct RefusedOptionsCase {
  Args args;
  Refusal refusal;
  std::string rejected;
  std::string batch_option;  // what the record of the run names
};

class BatchOptionsRefused : public ::testing::TestWithParam<RefusedOptionsCase> {};

TEST_P(BatchOptionsRefused, NameTheArgumentAndWhy) {
  const RefusedOptionsCase& c = GetParam();
  const ProgramOptions options = ReadProgramOptions(c.args);
  EXPECT_FALSE(options.valid);
  EXPECT_EQ(options.refusal, c.refusal);
  EXPECT_EQ(options.rejected, c.rejected);
  EXPECT_EQ(options.batch_option, c.batch_option);
  EXPECT_EQ(options.batch, BatchAction::None) << "a refused line runs nothing";
  EXPECT_FALSE(options.adjust);
  EXPECT_EQ(options.drive, "");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BatchOptionsRefused,
    ::testing::Values(
        RefusedOptionsCase{{"/export"}, Refusal::MissingFile, "/export", "/export"},
        RefusedOptionsCase{{"/apply", "/quiet"}, Refusal::MissingFile, "/apply", "/apply"},
        RefusedOptionsCase{{"/apply", "-x.ini"}, Refusal::MissingFile, "/apply", "/apply"},
        RefusedOptionsCase{{"/apply", ""}, Refusal::MissingFile, "/apply", "/apply"},
        RefusedOptionsCase{
            {"/export", "a", "/apply", "b"}, Refusal::Combination, "/apply", "/export"},
        RefusedOptionsCase{
            {"/export", "a", "/export", "b"}, Refusal::Combination, "/export", "/export"},
        RefusedOptionsCase{{"/apply", "a", "-adjust"}, Refusal::Combination, "-adjust", "/apply"},
        RefusedOptionsCase{{"/adjust", "/export", "a"}, Refusal::Combination, "/export", "/export"},
        RefusedOptionsCase{{"/drive:E", "/Quiet"}, Refusal::Combination, "/Quiet", ""},
        RefusedOptionsCase{{"/export", "a", "b"}, Refusal::NotUnderstood, "b", "/export"}));

TEST(BatchOptionsMessage, SaysWhyInEitherLanguageAndListsTheNewForms) {
  const ProgramOptions missing = ReadProgramOptions({"/export"});
  const ProgramOptions together = ReadProgramOptions({"/export", "a", "/apply", "b"});
  EXPECT_EQ(OptionsMessage(missing, 1).rfind("This option needs a file name after it: /export", 0),
            0u);
  EXPECT_EQ(OptionsMessage(together, 1).rfind("This option cannot be used together", 0), 0u);
  EXPECT_NE(OptionsMessage(missing, 0).find("ファイル名が必要です: /export"), std::string::npos);
  EXPECT_NE(OptionsMessage(together, 0).find("一緒に使用できません: /apply"), std::string::npos);
  for (int language : {0, 1}) {
    const std::string text = OptionsMessage(missing, language);
    for (const char* form : {"/drive:X", "/adjust", "/export ", "/apply ", "/quiet"}) {
      EXPECT_NE(text.find(form), std::string::npos) << form;
    }
  }
}

}  // namespace
}  // namespace z4
