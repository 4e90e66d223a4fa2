// The board's storage and records on a real folder.
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>

#include "sim/disk_files.h"
#include "sim/disk_storage.h"
#include "sim/file_records.h"
#include "sim/journal.h"

namespace z4::sim {
namespace {

namespace fs = std::filesystem;

class SimDiskStorage : public ::testing::Test {
 protected:
  SimDiskStorage() { fs::create_directories(dir / "root"); }
  ~SimDiskStorage() override {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
  void Put(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / "root" / name, std::ios::binary) << bytes;
  }

  static fs::path FreshFolder() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return fs::temp_directory_path() / ("z4sim-disk-" + std::to_string(stamp));
  }

  fs::path dir = FreshFolder();
  DiskStorage storage{dir / "root"};
};

TEST_F(SimDiskStorage, WritesReadsListsAndRemovesRootFilesByteForByte) {
  const std::string bytes = std::string("Density:80\r\n\0\n", 15);
  ASSERT_TRUE(storage.Write("Z4.INI", bytes));
  ASSERT_TRUE(storage.Write("Z4JOB.END", ""));
  fs::create_directory(dir / "root" / "QXR");
  EXPECT_EQ(storage.Read("Z4.INI"), bytes);
  EXPECT_EQ(storage.Read("Z4JOB.END"), "");
  EXPECT_EQ(storage.List(), (std::vector<std::string>{"Z4.INI", "Z4JOB.END"}));
  EXPECT_FALSE(storage.Exists("QXR"));
  EXPECT_TRUE(storage.Remove("Z4JOB.END"));
  EXPECT_FALSE(storage.Exists("Z4JOB.END"));
  EXPECT_FALSE(storage.Read("Z4JOB.END"));
}

TEST_F(SimDiskStorage, ReplacesAnExistingFileWholeAndLeavesNoTemporaryFile) {
  Put("Z4.INI", "a much longer old settings file\r\n");
  ASSERT_TRUE(storage.Write("Z4.INI", "new\r\n"));
  EXPECT_EQ(storage.Read("Z4.INI"), "new\r\n");
  EXPECT_EQ(storage.List(), std::vector<std::string>{"Z4.INI"});
}

TEST_F(SimDiskStorage, FindsNamesWhateverTheirCase) {
  Put("z4.job", "End:\r\n");
  EXPECT_TRUE(storage.Exists("Z4.JOB"));
  EXPECT_EQ(storage.Read("Z4.JOB"), "End:\r\n");
  // Replacing keeps the one file rather than adding a second spelling.
  Put("z4.ini", "old");
  ASSERT_TRUE(storage.Write("Z4.INI", "new"));
  EXPECT_EQ(storage.List(), (std::vector<std::string>{"z4.ini", "z4.job"}));
  EXPECT_EQ(storage.Read("z4.ini"), "new");
}

TEST_F(SimDiskStorage, KeepsFilesInAFolderOfTheRootFoundWhateverItsCase) {
  EXPECT_TRUE(storage.ListFolder("QXR").empty());
  EXPECT_FALSE(storage.Write("QXR\\MB000001.png", "x"));  // no folder yet
  fs::create_directory(dir / "root" / "qxr");
  Put("qxr/mb000007.TIF", "old");
  EXPECT_TRUE(storage.MakeFolder("QXR"));  // already there, in another case
  ASSERT_TRUE(storage.Write("QXR\\MB000008.tif", "new"));
  EXPECT_EQ(storage.ListFolder("QXR"), (std::vector<std::string>{"MB000008.tif", "mb000007.TIF"}));
  EXPECT_EQ(storage.Read("Qxr\\MB000007.tif"), "old");
  EXPECT_TRUE(storage.Exists("QXR\\MB000008.tif"));
  EXPECT_TRUE(storage.List().empty());  // the root holds no files
  EXPECT_TRUE(storage.MakeFolder("LOGS"));
  EXPECT_TRUE(fs::is_directory(dir / "root" / "LOGS"));
}

TEST_F(SimDiskStorage, HoldsOnlyFilesThatExist) {
  Put("Z4.INI", "x");
  auto held = storage.Hold("Z4.INI");
  EXPECT_TRUE(held);
  EXPECT_FALSE(storage.Hold("Z4.LOG"));
#ifdef _WIN32
  // Held with no sharing: nobody can read it or replace it meanwhile.
  EXPECT_FALSE(storage.Read("Z4.INI"));
  EXPECT_FALSE(storage.Write("Z4.INI", "y"));
  held.reset();
  EXPECT_EQ(storage.Read("Z4.INI"), "x");
#endif
}

TEST_F(SimDiskStorage, AMissingRootFailsQuietly) {
  DiskStorage gone(dir / "no such folder");
  EXPECT_TRUE(gone.List().empty());
  EXPECT_FALSE(gone.Exists("Z4.JOB"));
  EXPECT_FALSE(gone.Read("Z4.JOB"));
  EXPECT_FALSE(gone.Write("Z4.INI", "x"));
}

TEST_F(SimDiskStorage, FileRecordsKeepStateAndJournal) {
  FileRecords records(dir / "state.txt", dir / "journal.txt");
  EXPECT_FALSE(records.LoadState());
  ASSERT_TRUE(records.SaveState("Density=80\n"));
  ASSERT_TRUE(records.SaveState("Density=81\n"));
  EXPECT_EQ(records.LoadState(), "Density=81\n");
  ASSERT_TRUE(records.AppendJournal(JournalEntry(1, "SetDataOut:\r\nEnd:\r\n")));
  ASSERT_TRUE(records.AppendJournal(JournalEntry(2, "End:\r\n")));
  const auto journal = disk::ReadWhole(dir / "journal.txt");
  ASSERT_TRUE(journal);
  EXPECT_EQ(ReadJournal(*journal),
            (std::vector<std::string>{"SetDataOut:\r\nEnd:\r\n", "End:\r\n"}));
}

TEST_F(SimDiskStorage, FileRecordsWithoutPathsStayInMemory) {
  FileRecords records({}, {});
  EXPECT_FALSE(records.LoadState());
  ASSERT_TRUE(records.SaveState("Density=80\n"));
  EXPECT_EQ(records.LoadState(), "Density=80\n");
  EXPECT_TRUE(records.AppendJournal("entry"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);  // root only
}

}  // namespace
}  // namespace z4::sim
