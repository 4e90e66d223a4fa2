// The shipped program's start-up trace: lines "phase elapsed-ms" in the file
// the environment variable names, and nothing without it.
#include "platform/win32/startup_trace_win32.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace z4::win32 {
namespace {

constexpr wchar_t kVariable[] = L"Z4_TEST_STARTUP_TRACE";

std::wstring TempFile(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

std::string ReadAll(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(4096, '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

TEST(StartupTraceWin32Test, EachMarkIsALineWithTheTimeSinceTheProcessStarted) {
  const std::wstring path = TempFile(L"z4-startup-trace.txt");
  // A file of an earlier run is replaced, not added to.
  HANDLE old = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(old, "stale 1.0\r\n", 11, &written, nullptr);
  CloseHandle(old);

  SetEnvironmentVariableW(kVariable, path.c_str());
  {
    Win32StartupTrace trace(kVariable);
    EXPECT_TRUE(trace.On());
    trace.Mark("entry");
    Sleep(20);
    trace.Mark("text-table");
  }
  SetEnvironmentVariableW(kVariable, nullptr);

  std::istringstream lines(ReadAll(path));
  std::vector<std::pair<std::string, double>> marks;
  std::string line;
  while (std::getline(lines, line)) {
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '\r') << "CR LF line ends";
    std::istringstream fields(line);
    std::string phase, rest;
    double ms = -1;
    ASSERT_TRUE(fields >> phase >> ms) << line;
    EXPECT_FALSE(fields >> rest) << "two fields only: " << line;
    marks.emplace_back(phase, ms);
  }
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0].first, "entry");
  EXPECT_EQ(marks[1].first, "text-table");
  EXPECT_GT(marks[0].second, 0.0) << "the process started before the first mark";
  EXPECT_GE(marks[1].second - marks[0].second, 15.0) << "the 20 ms pause between the marks";
  DeleteFileW(path.c_str());
}

TEST(StartupTraceWin32Test, WithoutTheVariableNothingIsWritten) {
  SetEnvironmentVariableW(kVariable, nullptr);
  Win32StartupTrace trace(kVariable);
  EXPECT_FALSE(trace.On());
  trace.Mark("entry");  // dropped, and no file to write it to
  // An empty value asks for nothing either.
  SetEnvironmentVariableW(kVariable, L"");
  Win32StartupTrace empty(kVariable);
  EXPECT_FALSE(empty.On());
  SetEnvironmentVariableW(kVariable, nullptr);
}

}  // namespace
}  // namespace z4::win32
