#include "platform/win32/file_system_win32.h"

#include <windows.h>

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/unicode.h"

namespace z4::win32 {
namespace {

using ::testing::UnorderedElementsAre;
using namespace std::string_literals;

// Removes a folder and everything in it.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data{};
  UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &data));
  if (find) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find.get(), &data));
  }
  find.reset();
  RemoveDirectoryW(folder.c_str());
}

class Win32FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    static int counter = 0;
    folder_ = Narrow(temp) + "z4fs-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++counter);
    if (!folder_.empty() && folder_.back() == '\\') folder_.pop_back();
    ASSERT_TRUE(CreateDirectoryW(Widen(folder_).c_str(), nullptr));
    const auto cwd = fs.CurrentDirectory();
    ASSERT_TRUE(cwd.has_value());
    cwd_ = *cwd;
  }
  void TearDown() override {
    SetCurrentDirectoryW(Widen(cwd_).c_str());
    RemoveTree(Widen(folder_));
  }

  std::string Path(const std::string& name) const { return folder_ + "\\" + name; }

  // A handle of another user of the file, with the given sharing.
  UniqueFile OpenOther(const std::string& name, DWORD share) const {
    return UniqueFile(CreateFileW(Widen(Path(name)).c_str(), GENERIC_READ, share, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  std::vector<std::string> Names() {
    auto names = fs.FindFiles(Path("*")).value_or(std::vector<std::string>{});
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return n == "." || n == ".."; }),
                names.end());
    return names;
  }

  Win32FileSystem fs;
  std::string folder_;
  std::string cwd_;
};

TEST_F(Win32FileSystemTest, WrittenBytesReadBackExactly) {
  const std::string bytes = "Density:75\r\nLF only\n\0 and \x1A and \xFF\r"s;
  ASSERT_TRUE(fs.WriteNewFile(Path("Z4.INI"), bytes));
  EXPECT_EQ(fs.ReadFile(Path("Z4.INI")), bytes);
  // Written anew: a shorter text leaves nothing of the longer one.
  ASSERT_TRUE(fs.WriteNewFile(Path("Z4.INI"), "End:\r\n"));
  EXPECT_EQ(fs.ReadFile(Path("Z4.INI")), "End:\r\n");
  ASSERT_TRUE(fs.WriteNewFile(Path("empty"), ""));
  EXPECT_EQ(fs.ReadFile(Path("empty")), "");
  EXPECT_EQ(fs.ReadFile(Path("absent")), std::nullopt);
}

TEST_F(Win32FileSystemTest, ExclusiveOpenShutsOthersOutAndIsShutOutByThem) {
  ASSERT_TRUE(fs.WriteNewFile(Path("Z4JOB.END"), ""));
  {
    auto held = fs.OpenExclusive(Path("Z4JOB.END"));
    ASSERT_NE(held, nullptr);
    EXPECT_FALSE(OpenOther("Z4JOB.END", FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(fs.OpenExclusive(Path("Z4JOB.END")), nullptr);
  }
  EXPECT_TRUE(OpenOther("Z4JOB.END", 0)) << "closed when the object went away";

  // Someone else holding the file open, even only for reading, makes it absent.
  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    UniqueFile other = OpenOther("Z4JOB.END", share);
    ASSERT_TRUE(other);
    EXPECT_EQ(fs.OpenExclusive(Path("Z4JOB.END")), nullptr);
    EXPECT_EQ(fs.ReadFile(Path("Z4JOB.END")).has_value(), share == FILE_SHARE_READ);
  }
  EXPECT_EQ(fs.OpenExclusive(Path("absent")), nullptr);
}

TEST_F(Win32FileSystemTest, CopyOverwritesTheTarget) {
  ASSERT_TRUE(fs.WriteNewFile(Path("new"), "new contents"));
  ASSERT_TRUE(fs.WriteNewFile(Path("target"), "old and longer contents"));
  EXPECT_TRUE(fs.CopyReplacing(Path("new"), Path("target")));
  EXPECT_EQ(fs.ReadFile(Path("target")), "new contents");
  EXPECT_EQ(fs.ReadFile(Path("new")), "new contents");
  EXPECT_FALSE(fs.CopyReplacing(Path("absent"), Path("target")));
  EXPECT_EQ(fs.ReadFile(Path("target")), "new contents");
  // A target held open without sharing cannot be replaced.
  UniqueFile other = OpenOther("target", 0);
  ASSERT_TRUE(other);
  EXPECT_FALSE(fs.CopyReplacing(Path("new"), Path("target")));
}

TEST_F(Win32FileSystemTest, ReplaceSwapsInTheWholeFileAndLeavesNoTemporary) {
  ASSERT_TRUE(fs.WriteNewFile(Path("Z4.INI"), "Density:80\r\n"));
  const std::string bytes(100000, 'x');
  EXPECT_TRUE(fs.ReplaceFileContents(Path("Z4.INI"), bytes));
  EXPECT_EQ(fs.ReadFile(Path("Z4.INI")), bytes);
  EXPECT_TRUE(fs.ReplaceFileContents(Path("new.ini"), "Density:75\r\n"));
  EXPECT_EQ(fs.ReadFile(Path("new.ini")), "Density:75\r\n");
  EXPECT_THAT(Names(), UnorderedElementsAre("Z4.INI", "new.ini"));
}

TEST_F(Win32FileSystemTest, AReplaceThatCannotHappenKeepsTheOldFileAndNoTemporary) {
  ASSERT_TRUE(fs.WriteNewFile(Path("Z4.INI"), "old"));
  {
    UniqueFile other = OpenOther("Z4.INI", FILE_SHARE_READ);
    ASSERT_TRUE(other);
    EXPECT_FALSE(fs.ReplaceFileContents(Path("Z4.INI"), "new"));
  }
  EXPECT_EQ(fs.ReadFile(Path("Z4.INI")), "old");
  EXPECT_THAT(Names(), UnorderedElementsAre("Z4.INI"));
  EXPECT_FALSE(fs.ReplaceFileContents(Path("missing\\Z4.INI"), "new"));
}

TEST_F(Win32FileSystemTest, FlushNeedsAnExistingWritableFile) {
  ASSERT_TRUE(fs.WriteNewFile(Path("Z4.JOB"), "End:\r\n"));
  EXPECT_TRUE(fs.FlushFile(Path("Z4.JOB")));
  EXPECT_EQ(fs.ReadFile(Path("Z4.JOB")), "End:\r\n");
  {
    // A reader that shares does not stop the flush.
    UniqueFile other = OpenOther("Z4.JOB", FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(other);
    EXPECT_TRUE(fs.FlushFile(Path("Z4.JOB")));
  }
  EXPECT_FALSE(fs.FlushFile(Path("absent")));
}

TEST_F(Win32FileSystemTest, FindListsMatchingNamesOrNothing) {
  ASSERT_TRUE(fs.WriteNewFile(Path("Z4.INI"), ""));
  ASSERT_TRUE(fs.WriteNewFile(Path("Z4.JOB"), ""));
  ASSERT_TRUE(fs.MakeDirectory(Path("QXR")));
  EXPECT_THAT(fs.FindFiles(Path("Z4.*")).value_or(std::vector<std::string>{}),
              UnorderedElementsAre("Z4.INI", "Z4.JOB"));
  EXPECT_THAT(fs.FindFiles(Path("z4.ini")).value_or(std::vector<std::string>{}),
              UnorderedElementsAre("Z4.INI"));
  EXPECT_THAT(fs.FindFiles(Path("*.*")).value_or(std::vector<std::string>{}),
              UnorderedElementsAre(".", "..", "Z4.INI", "Z4.JOB", "QXR"));
  EXPECT_EQ(fs.FindFiles(Path("*.CSV")), std::nullopt);
  EXPECT_EQ(fs.FindFiles(Path("missing\\*.*")), std::nullopt);
}

TEST_F(Win32FileSystemTest, ASearchTellsAMissingNameFromAMissingFolderOrDrive) {
  ASSERT_TRUE(fs.WriteNewFile(Path("Z4.JOB"), "x"));
  EXPECT_EQ(fs.Search(Path("Z4.JOB")), SearchOutcome::Found);
  EXPECT_EQ(fs.Search(Path("Z4JOB.END")), SearchOutcome::NothingThere);
  EXPECT_EQ(fs.Search(Path("gone\\Z4JOB.END")), SearchOutcome::PlaceGone);
}

TEST_F(Win32FileSystemTest, FindingFilesOnlyLeavesFoldersOut) {
  ASSERT_TRUE(fs.WriteNewFile(Path("MB000001.png"), ""));
  ASSERT_TRUE(fs.MakeDirectory(Path("MB000002.png")));
  EXPECT_THAT(fs.FindRegularFiles(Path("MB*.png")).value_or(std::vector<std::string>{}),
              UnorderedElementsAre("MB000001.png"));
  EXPECT_THAT(fs.FindRegularFiles(Path("MB000002.*")).value_or(std::vector<std::string>{"x"}),
              ::testing::IsEmpty())
      << "only a folder matched";
  EXPECT_EQ(fs.FindRegularFiles(Path("*.tif")), std::nullopt);
}

TEST_F(Win32FileSystemTest, ReadingTheStartOfAFileStopsAtItsLimit) {
  const std::string bytes(200 * 1024 + 7, 'L');  // more than one read of the buffer
  ASSERT_TRUE(fs.WriteNewFile(Path("Z4.LOG"), bytes));
  struct Case {
    std::size_t limit;
    std::size_t read;
    bool whole;
  };
  for (const Case& c :
       {Case{0, 0, false}, Case{10, 10, false}, Case{64 * 1024, 64 * 1024, false},
        Case{bytes.size() - 1, bytes.size() - 1, false}, Case{bytes.size(), bytes.size(), true},
        Case{kAnySize, bytes.size(), true}}) {
    SCOPED_TRACE(c.limit);
    const auto start = fs.ReadFileStart(Path("Z4.LOG"), c.limit);
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(start->bytes.size(), c.read);
    EXPECT_EQ(start->whole, c.whole);
  }
  EXPECT_EQ(fs.ReadFile(Path("Z4.LOG"), bytes.size() - 1), std::nullopt) << "larger than asked";
  EXPECT_EQ(fs.ReadFile(Path("Z4.LOG"), bytes.size()), bytes);
  ASSERT_TRUE(fs.WriteNewFile(Path("empty"), ""));
  const auto empty = fs.ReadFileStart(Path("empty"), 0);
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->whole);
  EXPECT_EQ(fs.ReadFileStart(Path("absent"), 10), std::nullopt);
}

TEST_F(Win32FileSystemTest, FullPathsResolveDotsAndRelativeNames) {
  ASSERT_TRUE(fs.MakeDirectory(Path("QXR")));
  EXPECT_EQ(fs.FullPath(Path("QXR\\..\\QXR\\.\\MB000001.png")), Path("QXR\\MB000001.png"));
  ASSERT_TRUE(fs.EnterDirectory(Path("QXR")));
  EXPECT_EQ(fs.FullPath("MB000001.png"), Path("QXR\\MB000001.png"));
}

TEST_F(Win32FileSystemTest, FoldersAndDeletion) {
  EXPECT_TRUE(fs.MakeDirectory(Path("BackupZ4")));
  EXPECT_FALSE(fs.MakeDirectory(Path("BackupZ4")));
  ASSERT_TRUE(fs.WriteNewFile(Path("BackupZ4\\Z4.INI"), "x"));
  EXPECT_FALSE(fs.RemoveEmptyDirectory(Path("BackupZ4"))) << "not empty";
  EXPECT_TRUE(fs.Delete(Path("BackupZ4\\Z4.INI")));
  EXPECT_FALSE(fs.Delete(Path("BackupZ4\\Z4.INI")));
  EXPECT_TRUE(fs.RemoveEmptyDirectory(Path("BackupZ4")));
  EXPECT_FALSE(fs.RemoveEmptyDirectory(Path("BackupZ4")));
}

TEST_F(Win32FileSystemTest, CurrentDirectoryFollowsSetAndRefusesMissingFolders) {
  ASSERT_TRUE(fs.MakeDirectory(Path("BackupZ4")));
  EXPECT_TRUE(fs.EnterDirectory(Path("BackupZ4")));
  const auto now = fs.CurrentDirectory();
  ASSERT_TRUE(now.has_value());
  EXPECT_EQ(lstrcmpiW(Widen(*now).c_str(), Widen(Path("BackupZ4")).c_str()), 0) << *now;
  EXPECT_FALSE(fs.EnterDirectory(Path("missing")));
  EXPECT_EQ(fs.CurrentDirectory(), now);
  EXPECT_TRUE(fs.EnterDirectory(cwd_));
  EXPECT_EQ(fs.CurrentDirectory(), cwd_);
}

TEST_F(Win32FileSystemTest, NamesBeyondAsciiSurviveTheRoundTrip) {
  const std::string name = "\xE8\xA8\xAD\xE5\xAE\x9A.ini";  // two kanji, UTF-8
  ASSERT_TRUE(fs.WriteNewFile(Path(name), "x"));
  EXPECT_THAT(Names(), UnorderedElementsAre(name));
  EXPECT_TRUE(fs.CopyReplacing(Path(name), Path("copy.ini")));
  EXPECT_EQ(fs.ReadFile(Path("copy.ini")), "x");
}

}  // namespace
}  // namespace z4::win32
