// The z4sim command itself, run as a separate process on a temporary folder.
// It is looked for next to the test program; the build puts both there.
#ifndef _WIN32

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sys/wait.h>
#include <thread>

#include "sim/command_line.h"
#include "sim/disk_files.h"
#include "sim/journal.h"
#include "sim/self_test.h"
#include "sim/settings_file.h"
#include "sim/state_file.h"

extern char** environ;

namespace z4::sim {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

fs::path CommandPath() {
  std::error_code error;
  return fs::read_symlink("/proc/self/exe", error).parent_path() / "z4sim";
}

class SimCommand : public ::testing::Test {
 protected:
  SimCommand() { fs::create_directories(root); }
  ~SimCommand() override {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  void SetUp() override {
    if (!fs::exists(CommandPath())) GTEST_SKIP() << "z4sim not built next to the tests";
  }

  // Starts z4sim with stdout and stderr going to files in the folder.
  void Launch(std::vector<std::string> args) {
    args.insert(args.begin(), CommandPath().string());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, (dir / "out.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, (dir / "err.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
  }

  // The exit code, or nullopt when the command is still running after `limit`.
  std::optional<int> WaitForExit(milliseconds limit = milliseconds(5000)) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(milliseconds(5));
    }
    return std::nullopt;
  }

  bool WaitForFile(const fs::path& path, milliseconds limit = milliseconds(5000)) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!fs::exists(path)) {
      if (std::chrono::steady_clock::now() >= until) return false;
      std::this_thread::sleep_for(milliseconds(5));
    }
    return true;
  }

  // As the utility delivers a file: written beside, then moved into the root.
  void Deliver(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / "delivery", std::ios::binary) << bytes;
    fs::rename(dir / "delivery", root / name);
  }

  std::string Text(const fs::path& path) { return disk::ReadWhole(path).value_or("<absent>"); }

  fs::path dir = fs::temp_directory_path() /
                 ("z4sim-cmd-" + std::to_string(getpid()) + "-" +
                  std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::path root = dir / "root";
  pid_t pid = -1;
};

TEST_F(SimCommand, AnswersASettingsReadAndASettingsWriteThenEndsAfterTwoJobs) {
  Settings start;
  start.density = 88;
  start.file_format = 'P';
  std::ofstream(dir / "state.txt") << StateFileText(start);
  Launch({"--root", root.string(), "--state", (dir / "state.txt").string(), "--journal",
          (dir / "journal.txt").string(), "--poll", "5", "--exit-after-jobs", "2"});

  Deliver("Z4.JOB", "SetDataOut:\r\nEnd:\r\n");
  ASSERT_TRUE(WaitForFile(root / "Z4JOB.END"));
  EXPECT_EQ(Text(root / "Z4.INI"), SettingsFileText(start));

  // The utility clears the exchange files and sends new settings.
  fs::remove(root / "Z4.JOB");
  fs::remove(root / "Z4JOB.END");
  Settings changed = start;
  changed.ccfl_off_minutes = 90;
  changed.image_move = 'Y';
  Deliver("Z4.INI", SettingsFileText(changed));
  Deliver("Z4.JOB", "SetDataIn:\r\nEnd:\r\n");

  EXPECT_EQ(WaitForExit(), 0);
  EXPECT_TRUE(fs::exists(root / "Z4JOB.END"));
  EXPECT_EQ(Text(dir / "state.txt"), StateFileText(changed));
  EXPECT_EQ(ReadJournal(Text(dir / "journal.txt")),
            (std::vector<std::string>{"SetDataOut:\r\nEnd:\r\n", "SetDataIn:\r\nEnd:\r\n"}));
  EXPECT_EQ(Text(dir / "out.txt"), "");
  EXPECT_EQ(Text(dir / "err.txt"), "");
}

TEST_F(SimCommand, CreatesTheStateFileWithTheDefaults) {
  Launch({"--root", root.string(), "--state", (dir / "state.txt").string(), "--poll", "5",
          "--exit-after-jobs", "1"});
  Deliver("Z4.JOB", "End:\r\n");
  EXPECT_EQ(WaitForExit(), 0);
  EXPECT_EQ(Text(dir / "state.txt"), StateFileText(Settings{}));
}

TEST_F(SimCommand, DelaySwitchHoldsBackTheEndMarker) {
  Launch({"--root", root.string(), "--poll", "5", "--delay", "400", "--exit-after-jobs", "1"});
  Deliver("Z4.JOB", "SetDataOut:\r\nEnd:\r\n");
  ASSERT_TRUE(WaitForFile(root / "Z4.INI"));
  const auto seen = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitForFile(root / "Z4JOB.END"));
  EXPECT_GE(std::chrono::steady_clock::now() - seen, milliseconds(300));
  EXPECT_EQ(WaitForExit(), 0);
}

TEST_F(SimCommand, RefusesBadArgumentsAndADamagedStateOnStderr) {
  Launch({"--root", root.string(), "--delay", "soon"});
  EXPECT_EQ(WaitForExit(), 2);
  EXPECT_NE(Text(dir / "err.txt").find("--delay"), std::string::npos);
  EXPECT_EQ(Text(dir / "out.txt"), "");

  Launch({"--root", (dir / "missing").string()});
  EXPECT_EQ(WaitForExit(), 2);

  std::ofstream(dir / "state.txt") << "Density=99\n";
  Launch({"--root", root.string(), "--state", (dir / "state.txt").string()});
  EXPECT_EQ(WaitForExit(), 2);
  EXPECT_NE(Text(dir / "err.txt").find("Density=99"), std::string::npos);
}

TEST_F(SimCommand, SelfTestCapturesAfterTheSeededPicturesAndWaveHandsOutTheGivenLevels) {
  fs::create_directories(dir / "seed");
  std::ofstream(dir / "seed" / "MB000041.tif") << "older";
  std::ofstream(dir / "seed" / "MBX00099.tif") << "decoy";
  const std::string levels = "MaxLevel:,25\n";  // broken on purpose
  std::ofstream(dir / "levels.csv", std::ios::binary) << levels;
  Launch({"--root", root.string(), "--poll", "5", "--qxr", (dir / "seed").string(), "--levels",
          (dir / "levels.csv").string(), "--exit-after-jobs", "2"});
  Deliver("Z4.JOB", std::string(kSelfTestJob));
  ASSERT_TRUE(WaitForFile(root / "Z4JOB.END"));
  EXPECT_EQ(Text(root / "QXR" / "MB000042.tif"), CaptureImage('T'));
  EXPECT_EQ(Text(root / "QXR" / "MB000041.tif"), "older");
  fs::remove(root / "Z4.JOB");
  fs::remove(root / "Z4JOB.END");
  Deliver("Z4.JOB", "Wave:\r\nEnd:\r\n");
  EXPECT_EQ(WaitForExit(), 0);
  EXPECT_EQ(Text(root / "Z4.CSV"), levels);
  EXPECT_FALSE(fs::exists(root / "Z4.LOG"));
}

TEST_F(SimCommand, FailingSelfTestWritesTheGivenLinesToTheLog) {
  Launch({"--root", root.string(), "--poll", "5", "--board-fail", "Lamp error\\nCF error",
          "--exit-after-jobs", "1"});
  Deliver("Z4.JOB", std::string(kSelfTestJob));
  EXPECT_EQ(WaitForExit(), 0);
  EXPECT_EQ(Text(root / "Z4.LOG"), "Lamp error\r\nCF error\r\n");
  EXPECT_FALSE(fs::exists(root / "QXR"));

  Launch({"--root", root.string(), "--levels", (dir / "absent.csv").string()});
  EXPECT_EQ(WaitForExit(), 2);
  EXPECT_NE(Text(dir / "err.txt").find("absent.csv"), std::string::npos);
}

TEST_F(SimCommand, HelpListsTheOptionsOnStdout) {
  Launch({"--help"});
  EXPECT_EQ(WaitForExit(), 0);
  EXPECT_EQ(Text(dir / "out.txt"), UsageText());
}

}  // namespace
}  // namespace z4::sim

#endif  // !_WIN32
