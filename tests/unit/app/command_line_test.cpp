#include "app/command_line.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/startup.h"
#include "batch/batch_outcome.h"
#include "core/shared_state.h"
#include "fakes/fake_file_appender.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_wall_clock.h"
#include "res/resource_ids.h"

namespace z4 {
namespace {

using Args = std::vector<std::string>;

struct SplitCase {
  const char* line;
  Args args;
};

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, FollowsTheWindowsRules) {
  EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().args) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCommandLineTest,
    ::testing::Values(SplitCase{R"("C:\Program Files\Z4\Z4Utility.exe")",
                                {R"(C:\Program Files\Z4\Z4Utility.exe)"}},
                      SplitCase{R"(Z4Utility.exe  /drive:E	-adjust )",
                                {"Z4Utility.exe", "/drive:E", "-adjust"}},
                      // The program's name takes no backslash rules.
                      SplitCase{R"("C:\dir\"x y)", {R"(C:\dir\)", "x", "y"}},
                      SplitCase{R"(p "/drive:E" "a b")", {"p", "/drive:E", "a b"}},
                      SplitCase{R"(p a\\\"b)", {"p", R"(a\"b)"}},
                      SplitCase{R"(p a\\"b c")", {"p", R"(a\b c)"}},
                      SplitCase{R"(p a\b\\c)", {"p", R"(a\b\\c)"}},
                      SplitCase{R"(p "a""b")", {"p", R"(a"b)"}}, SplitCase{R"(p "")", {"p", ""}},
                      SplitCase{R"(p "unclosed arg)", {"p", "unclosed arg"}}, SplitCase{"", {""}}));

struct OptionsCase {
  Args args;
  bool valid;
  std::string drive;
  bool adjust;
};

class ReadProgramOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(ReadProgramOptionsTest, AcceptsOnlyTheDocumentedForms) {
  const OptionsCase& c = GetParam();
  const ProgramOptions options = ReadProgramOptions(c.args);
  EXPECT_EQ(options.valid, c.valid);
  EXPECT_EQ(options.drive, c.drive);
  EXPECT_EQ(options.adjust, c.adjust);
  if (!c.valid) {
    EXPECT_EQ(options.rejected, c.args.back()) << "the argument that was not understood";
  }
}

INSTANTIATE_TEST_SUITE_P(Arguments, ReadProgramOptionsTest,
                         ::testing::Values(OptionsCase{{}, true, "", false},
                                           OptionsCase{{"/drive:E"}, true, "E", false},
                                           OptionsCase{{"-DRIVE:e"}, true, "E", false},
                                           OptionsCase{{"/Drive:z", "/ADJUST"}, true, "Z", true},
                                           OptionsCase{{"-adjust", "/drive:a"}, true, "A", true},
                                           OptionsCase{{"/drive:E", "/drive:e"}, true, "E", false},
                                           OptionsCase{{"/drive:"}, false, "", false},
                                           OptionsCase{{"/drive:1"}, false, "", false},
                                           OptionsCase{{"/drive:EF"}, false, "", false},
                                           OptionsCase{{"/drive:E", "/drive:F"}, false, "", false},
                                           OptionsCase{{"/adjust", "/help"}, false, "", false},
                                           OptionsCase{{"drive:E"}, false, "", false},
                                           OptionsCase{{"/"}, false, "", false},
                                           OptionsCase{{""}, false, "", false}));

TEST(OptionsMessageTest, NamesTheArgumentAndTheAcceptedFormsInEitherLanguage) {
  for (int language : {0, 1}) {
    const std::string text = OptionsMessage("/drive:EF", language);
    EXPECT_NE(text.find("/drive:EF"), std::string::npos);
    EXPECT_NE(text.find("/drive:X"), std::string::npos);
    EXPECT_NE(text.find("/adjust"), std::string::npos);
  }
  EXPECT_NE(OptionsMessage("x", 0), OptionsMessage("x", 1));
}

// A host that records what start-up asks of it instead of showing windows.
class RecordingHost : public DialogHost {
 public:
  int RunModal(int resource_id, DialogHandler&) override {
    runs.push_back(resource_id);
    return kResultOk;
  }
  void ShowMessage(const std::string& text, const std::string& caption) override {
    boxes.push_back(caption + ": " + text);
  }
  std::vector<int> runs;
  std::vector<std::string> boxes;
};

class StartupOptionsTest : public ::testing::Test, protected fakes::FakeMachine {
 protected:
  void SetUp() override {
    SharedState::Reset();
    files.AddDirectory("C:\\Program Files\\Z4");
  }
  int Start(const std::string& options) {
    system.command_line = "\"C:\\Program Files\\Z4\\Z4Utility.exe\" " + options;
    return RunUtility(ports, host);
  }
  RecordingHost host;
};

TEST_F(StartupOptionsTest, WithoutOptionsTheProgramStartsInUserModeWithTheRegistrySearch) {
  EXPECT_EQ(Start(""), kExitDone);
  EXPECT_EQ(host.runs, std::vector<int>{IDD_CONFIG});
  EXPECT_EQ(SharedState::GetTestAdjustMode(), 0);
  EXPECT_EQ(SharedState::GetDriveOption(), "");
  EXPECT_EQ(SharedState::GetSaveFolder(), "C:\\Z4");
}

TEST_F(StartupOptionsTest, AdjustAndDriveTogether) {
  Start("-Adjust /drive:f");
  EXPECT_EQ(host.runs, std::vector<int>{IDD_CONFIG});
  EXPECT_EQ(SharedState::GetTestAdjustMode(), 1);
  EXPECT_EQ(SharedState::GetDriveOption(), "F");
}

TEST_F(StartupOptionsTest, AMalformedOptionShowsOneMessageAndTheWindowNeverOpens) {
  files.AddDrive('E');
  files.log.clear();
  EXPECT_EQ(Start("/drive:EF"), kExitRefused);
  EXPECT_TRUE(host.runs.empty());
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].rfind("Z4Utility: ", 0), 0u);
  EXPECT_NE(host.boxes[0].find("/drive:EF"), std::string::npos);
  for (const auto& line : files.log) {
    EXPECT_EQ(line.find("E:"), std::string::npos) << "the board was touched: " << line;
  }
}

}  // namespace
}  // namespace z4
