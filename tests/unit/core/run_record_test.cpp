// The record of the runs, and the lock that keeps runs apart.
#include <gtest/gtest.h>
#include <string>

#include "core/run_lock.h"
#include "core/run_log.h"
#include "core/utf8_check.h"
#include "fakes/fake_file_appender.h"
#include "fakes/fake_file_system.h"

namespace z4 {
namespace {

TEST(RunLogLine, FiveFieldsOnOneLine) {
  EXPECT_EQ(RunLogLine({{2009, 1, 2, 3, 4, 5}, "F", "/apply", "C:\\x y\\a.ini", "0 done"}),
            "2009-01-02 03:04:05\tF\t/apply\tC:\\x y\\a.ini\t0 done\r\n");
}

// Whatever a field quotes (a file name, a line of a file given to /apply), the
// line is valid UTF-8 without control characters, and stays one line.
TEST(RunLogLine, EveryFieldIsCleanText) {
  struct Case {
    std::string given, written;
  };
  for (const Case& c : {
           Case{"a\tb\r\nc", "a\\x09b\\x0D\\x0Ac"},
           Case{"density:\x82\x57\x82\x51", "density:\\x82W\\x82Q"},  // Shift-JIS "８２"
           Case{std::string("x\0y\xFF", 4), "x\\x00y\\xFF"},
           Case{"\x1B[2J\x7F", "\\x1B[2J\\x7F"},
           Case{"\xC2\x9B"
                "1m",
                "\\xC2\\x9B"
                "1m"},  // a C1 control: CSI
           Case{"C:\\\xED\xA0\x80.ini", "C:\\\\u{D800}.ini"},
           Case{"\xE2\x86\x92 \xEF\xBC\x98", "\xE2\x86\x92 \xEF\xBC\x98"},  // kept: → ８
           Case{"\xE2\x86", "\\xE2\\x86"},
       }) {
    const std::string line = RunLogLine({{2024, 1, 1, 0, 0, 0}, "E", "/apply", c.given, c.given});
    EXPECT_EQ(line, "2024-01-01 00:00:00\tE\t/apply\t" + c.written + "\t" + c.written + "\r\n")
        << c.given;
    EXPECT_TRUE(IsValidUtf8(line));
  }
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
