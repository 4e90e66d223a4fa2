// The record of the runs, and the lock that keeps runs apart.
#include <gtest/gtest.h>
#include <string>

#include "app/run_lock.h"
#include "core/run_log.h"
#include "fakes/fake_file_appender.h"
#include "fakes/fake_file_system.h"

namespace z4 {
namespace {

TEST(RunLogLine, FiveFieldsOnOneLine) {
  EXPECT_EQ(RunLogLine({{2009, 1, 2, 3, 4, 5}, "F", "/apply", "C:\\x y\\a.ini", "0 done"}),
            "2009-01-02 03:04:05\tF\t/apply\tC:\\x y\\a.ini\t0 done\r\n");
  // Nothing that could break the line or its fields gets through.
  EXPECT_EQ(RunLogLine({{2024, 12, 31, 23, 59, 59}, "", "/export", "a\tb\r\nc", ""}),
            "2024-12-31 23:59:59\t-\t/export\ta b  c\t-\r\n");
}

TEST(AppendRunLog, AddsToWhatIsThereAndNeverRewritesIt) {
  fakes::FakeFileSystem files;
  files.AddDirectory("C:\\Z4");
  files.AddFile("C:\\Z4\\Z4Utility.log", "earlier line\r\n");
  fakes::FakeFileAppender appender(files);
  const RunRecord record{{2024, 5, 1, 0, 0, 0}, "E", "/export", "C:\\a.ini", "0 done"};
  EXPECT_TRUE(AppendRunLog(appender, "C:\\Z4", record));
  EXPECT_TRUE(AppendRunLog(appender, "C:\\Z4", record));
  EXPECT_EQ(files.Contents("C:\\Z4\\Z4Utility.log"),
            "earlier line\r\n" + RunLogLine(record) + RunLogLine(record));
  files.SetReadOnly("C:\\Z4\\Z4Utility.log", true);
  EXPECT_FALSE(AppendRunLog(appender, "C:\\Z4", record));
  // A new log starts with the UTF-8 byte-order mark, and only there.
  files.AddDirectory("C:\\New");
  EXPECT_TRUE(AppendRunLog(appender, "C:\\New", record));
  EXPECT_TRUE(AppendRunLog(appender, "C:\\New", record));
  EXPECT_EQ(files.Contents("C:\\New\\Z4Utility.log"),
            "\xEF\xBB\xBF" + RunLogLine(record) + RunLogLine(record));
}

TEST(RunLock, OneRunAtATimeAndNothingLeftBehind) {
  fakes::FakeFileSystem files;
  files.AddDirectory("C:\\Z4");
  const std::string path = RunLockPath("C:\\Z4");
  EXPECT_EQ(path, "C:\\Z4\\BackupZ4.lock");
  {
    const RunLock first(files, path);
    EXPECT_EQ(first.state(), RunLock::State::Held);
    const RunLock second(files, path);
    EXPECT_EQ(second.state(), RunLock::State::Busy);
  }
  EXPECT_FALSE(files.Exists(path)) << "the holder deletes it; the refused run leaves it";
  // A lock file left by a run that ended without cleaning up is taken over.
  files.AddFile(path, "");
  EXPECT_EQ(RunLock(files, path).state(), RunLock::State::Held);
  // A folder that cannot be written is not taken for another run.
  files.SetReadOnly("C:\\Z4", true);
  EXPECT_EQ(RunLock(files, path).state(), RunLock::State::CannotCreate);
}

}  // namespace
}  // namespace z4
