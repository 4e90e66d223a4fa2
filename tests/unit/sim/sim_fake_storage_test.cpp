// The board's storage on the fake file system behaves like the real disk as
// far as the utility can tell.
#include <gtest/gtest.h>

#include "fakes/fake_board_storage.h"

namespace z4::fakes {
namespace {

class SimFakeStorage : public ::testing::Test {
 protected:
  SimFakeStorage() { fs.AddDrive('E'); }
  FakeFileSystem fs;
  FakeBoardStorage storage{fs, 'e'};
};

TEST_F(SimFakeStorage, WritesReadsAndListsRootFiles) {
  EXPECT_TRUE(storage.Write("Z4.INI", "a\r\n"));
  EXPECT_TRUE(storage.Write("Z4.INI", "bb\r\n"));
  fs.AddDirectory("E:\\QXR");
  EXPECT_EQ(fs.Contents("E:\\Z4.INI"), "bb\r\n");
  EXPECT_EQ(storage.Read("z4.ini"), "bb\r\n");
  EXPECT_TRUE(storage.Exists("Z4.INI"));
  EXPECT_FALSE(storage.Exists("QXR"));
  EXPECT_EQ(storage.List(), std::vector<std::string>{"Z4.INI"});  // no temporary file left
  EXPECT_TRUE(storage.Remove("Z4.INI"));
  EXPECT_FALSE(storage.Exists("Z4.INI"));
}

TEST_F(SimFakeStorage, KeepsFilesInAFolderOfTheRoot) {
  EXPECT_TRUE(storage.ListFolder("QXR").empty());
  EXPECT_FALSE(storage.Write("QXR\\MB000001.png", "x"));  // no folder yet
  EXPECT_TRUE(storage.MakeFolder("QXR"));
  EXPECT_TRUE(storage.MakeFolder("qxr"));
  fs.AddDirectory("E:\\QXR\\SUB");
  ASSERT_TRUE(storage.Write("QXR\\MB000001.png", "x"));
  EXPECT_EQ(fs.Contents("E:\\QXR\\MB000001.png"), "x");
  EXPECT_EQ(storage.ListFolder("qxr"), std::vector<std::string>{"MB000001.png"});
  EXPECT_EQ(storage.Read("QXR\\mb000001.PNG"), "x");
  EXPECT_TRUE(storage.List().empty());
  EXPECT_TRUE(fs.log.empty());  // the board's own operations
  fs.RemoveDrive('E');
  EXPECT_TRUE(storage.ListFolder("QXR").empty());
  EXPECT_FALSE(storage.MakeFolder("QXR"));
}

TEST_F(SimFakeStorage, CannotReplaceOrReadAFileThePcHoldsOpen) {
  fs.AddFile("E:\\Z4.INI", "old");
  auto handle = fs.OpenExclusive("E:\\Z4.INI");
  ASSERT_TRUE(handle);
  EXPECT_FALSE(storage.Write("Z4.INI", "new"));
  EXPECT_FALSE(storage.Read("Z4.INI"));
  EXPECT_FALSE(storage.Remove("Z4.INI"));
  handle.reset();
  EXPECT_EQ(fs.Contents("E:\\Z4.INI"), "old");
  EXPECT_EQ(fs.List("E:"), std::vector<std::string>{"Z4.INI"});
  EXPECT_TRUE(storage.Write("Z4.INI", "new"));
  EXPECT_EQ(fs.Contents("E:\\Z4.INI"), "new");
}

TEST_F(SimFakeStorage, AFullDiskKeepsTheOldFile) {
  fs.AddFile("E:\\Z4.INI", "old");
  fs.SetFreeSpace('E', 5);
  EXPECT_FALSE(storage.Write("Z4.INI", "far too long"));
  EXPECT_EQ(fs.Contents("E:\\Z4.INI"), "old");
  EXPECT_EQ(fs.List("E:"), std::vector<std::string>{"Z4.INI"});
  EXPECT_TRUE(storage.Write("Z4.INI", "short"));
  EXPECT_EQ(fs.Contents("E:\\Z4.INI"), "short");
}

TEST_F(SimFakeStorage, AHeldFileIsLockedForThePcUntilReleased) {
  fs.AddFile("E:\\Z4.INI", "x");
  auto held = storage.Hold("Z4.INI");
  ASSERT_TRUE(held);
  EXPECT_FALSE(fs.OpenExclusive("E:\\Z4.INI"));
  EXPECT_FALSE(fs.ReadFile("E:\\Z4.INI"));
  held.reset();
  EXPECT_EQ(fs.ReadFile("E:\\Z4.INI"), "x");
  EXPECT_FALSE(storage.Hold("absent.txt"));
}

TEST_F(SimFakeStorage, CannotHoldAFileThePcHasOpen) {
  fs.AddFile("E:\\Z4.INI", "x");
  auto handle = fs.OpenExclusive("E:\\Z4.INI");
  ASSERT_TRUE(handle);
  EXPECT_FALSE(storage.Hold("Z4.INI"));
  handle.reset();
  EXPECT_TRUE(storage.Hold("Z4.INI"));
}

TEST_F(SimFakeStorage, BoardOperationsStayOutOfTheProgramsLogAndHook) {
  int hook_calls = 0;
  fs.before_operation = [&](const std::string&) { ++hook_calls; };
  fs.Delete("E:\\nothing");  // one operation of the program
  storage.Write("Z4.INI", "x");
  storage.Read("Z4.INI");
  storage.Remove("Z4.INI");
  EXPECT_EQ(fs.log, std::vector<std::string>{"delete E:\\nothing"});
  EXPECT_EQ(hook_calls, 1);
  fs.Delete("E:\\again");  // the hook is back in place afterwards
  EXPECT_EQ(hook_calls, 2);
}

TEST_F(SimFakeStorage, ALostDriveFailsEverything) {
  fs.AddFile("E:\\Z4.JOB", "End:\r\n");
  fs.RemoveDrive('E');
  EXPECT_FALSE(storage.Exists("Z4.JOB"));
  EXPECT_FALSE(storage.Read("Z4.JOB"));
  EXPECT_FALSE(storage.Write("Z4.INI", "x"));
  EXPECT_TRUE(storage.List().empty());
}

TEST(SimEmulatedBoard, StepsWithTheVirtualClock) {
  FakeFileSystem fs;
  fs.AddDrive('E');
  VirtualClock clock;
  EmulatedBoard board(fs, clock, 'E', sim::Settings{}, sim::BoardOptions{}, 100);
  fs.AddFile("E:\\Z4.JOB", "SetDataOut:\r\nEnd:\r\n");
  clock.Pause(99);
  EXPECT_FALSE(fs.Exists("E:\\Z4JOB.END"));
  clock.Pause(1);
  EXPECT_TRUE(fs.Exists("E:\\Z4JOB.END"));
}

}  // namespace
}  // namespace z4::fakes
