#include "platform/win32/file_appender_win32.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "platform/win32/file_system_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/unicode.h"
#include "platform/win32/wall_clock_win32.h"

namespace z4::win32 {
namespace {

std::string TempFile(const char* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return Narrow(temp) + name + std::to_string(GetCurrentProcessId());
}

TEST(Win32FileAppender, CreatesThenAddsAfterTheEndEvenWhileOthersHaveTheFileOpen) {
  const std::string path = TempFile("z4append-");
  DeleteFileW(Widen(path).c_str());
  Win32FileAppender appender;
  Win32FileSystem files;
  // The header only in the write that creates the file.
  ASSERT_TRUE(appender.Append(path, "first\r\n", "[h]"));
  {
    // A reader sharing the file, as a text editor showing the record would.
    UniqueFile reader(CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    ASSERT_TRUE(reader);
    EXPECT_TRUE(appender.Append(path, "second\r\n", "[h]"));
  }
  EXPECT_EQ(files.ReadFile(path), "[h]first\r\nsecond\r\n");
  DeleteFileW(Widen(path).c_str());
  EXPECT_FALSE(appender.Append(TempFile("z4-no-such-folder\\") + "\\x.log", "x", ""));
}

TEST(Win32WallClock, GivesTheSystemsLocalTime) {
  SYSTEMTIME before{};
  GetLocalTime(&before);
  const LocalTime now = Win32WallClock().Now();
  EXPECT_EQ(now.year, before.wYear);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.hour, 23);
}

}  // namespace
}  // namespace z4::win32
