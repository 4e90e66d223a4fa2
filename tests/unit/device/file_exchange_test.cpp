#include "device/file_exchange.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/virtual_clock.h"

namespace z4 {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr char kProgramFolder[] = "C:\\Program Files\\Z4";
constexpr char kBackup[] = "C:\\Program Files\\Z4\\BackupZ4";
constexpr char kLocalIni[] = "C:\\Program Files\\Z4\\BackupZ4\\Z4.INI";
constexpr char kLocalJob[] = "C:\\Program Files\\Z4\\BackupZ4\\Z4.JOB";

class FileExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SharedState::Reset();
    SharedState::SetDeviceDrive("E");
    SharedState::SetDeviceFound(1);
    fs.AddDrive('E');
    fs.AddDirectory(kProgramFolder);
  }
  void TearDown() override { SharedState::Reset(); }

  // The operations that reached the board's drive, in order.
  std::vector<std::string> BoardOps() const {
    std::vector<std::string> ops;
    for (const auto& op : fs.log) {
      if (op.find("E:\\") != std::string::npos) ops.push_back(op);
    }
    return ops;
  }

  fakes::FakeFileSystem fs;
  fakes::FakeSystem system;
  fakes::VirtualClock clock;
  fakes::FakeRegistry registry;
  Ports ports{registry, system, fs, clock};
};

TEST_F(FileExchangeTest, PathsAreBuiltByPlainConcatenation) {
  EXPECT_EQ(DeviceFilePath("Z4.JOB"), "E:\\Z4.JOB");
  EXPECT_EQ(BackupFolderPath(system), kBackup);
  SharedState::SetDeviceDrive("");
  EXPECT_EQ(DeviceFilePath("Z4.JOB"), ":\\Z4.JOB");
}

// ---- Fetch

TEST_F(FileExchangeTest, FetchCopiesThePresentFileAfterOnePresenceTest) {
  fs.AddFile("E:\\Z4.INI", "Density:80\r\n");
  const TransferResult r = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.path, kLocalIni);
  EXPECT_EQ(fs.Contents(kLocalIni), "Density:80\r\n");
  EXPECT_THAT(BoardOps(),
              ElementsAre("open E:\\Z4.INI", std::string("copy E:\\Z4.INI -> ") + kLocalIni));
  EXPECT_THAT(clock.Pauses(), ElementsAre(150u));
  EXPECT_TRUE(fs.Exists("E:\\Z4.INI")) << "the board's file is left where it is";
}

TEST_F(FileExchangeTest, FetchOfAnAbsentFileCosts150msAndCopiesNothing) {
  fs.AddFile(kLocalIni, "stale from an earlier run");
  const TransferResult r = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.path, kLocalIni);
  EXPECT_EQ(clock.PausedMs(), 150);
  EXPECT_EQ(fs.CountOps("copy"), 0);
  EXPECT_EQ(fs.Contents(kLocalIni), "stale from an earlier run");
}

TEST_F(FileExchangeTest, FetchWithoutABoardCostsNothingAndTouchesNothingOnIt) {
  SharedState::SetDeviceFound(0);
  fs.AddFile("E:\\Z4.INI", "Density:80\r\n");
  const TransferResult r = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.path, kLocalIni);
  EXPECT_EQ(clock.PauseCount(), 0);
  EXPECT_THAT(BoardOps(), IsEmpty());
}

TEST_F(FileExchangeTest, FetchOfAFileTheBoardStillHoldsOpenIsNotAttempted) {
  fs.AddFile("E:\\Z4.CSV", "1,2,3\r\n");
  fs.SetHeldOpen("E:\\Z4.CSV", true);
  const TransferResult r = TransferFile(ports, "Z4.CSV", "", TransferMode::Fetch);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(fs.CountOps("copy"), 0);
  EXPECT_THAT(clock.Pauses(), ElementsAre(150u));
  EXPECT_FALSE(fs.Exists("C:\\Program Files\\Z4\\BackupZ4\\Z4.CSV"));
}

TEST_F(FileExchangeTest, FetchRetriesFailedCopiesWithHalfSecondPauses) {
  fs.AddFile("E:\\Z4.INI", "Density:80\r\n");
  fs.FailNextCopies(3);
  const TransferResult r = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(fs.CountOps("copy"), 4);
  EXPECT_THAT(clock.Pauses(), ElementsAre(150u, 500u, 500u, 500u));
  EXPECT_EQ(fs.Contents(kLocalIni), "Density:80\r\n");
}

TEST_F(FileExchangeTest, FetchGivesUpAfterSixFailedCopiesKeepingTheOldLocalCopy) {
  fs.AddFile("E:\\Z4.INI", "new");
  fs.AddFile(kLocalIni, "old");
  fs.FailNextCopies(100);
  const TransferResult r = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.path, kLocalIni);
  EXPECT_EQ(fs.CountOps("copy"), 6);
  EXPECT_EQ(clock.PausedMs(), 150 + 6 * 500);
  EXPECT_EQ(fs.Contents(kLocalIni), "old");
}

TEST_F(FileExchangeTest, FetchFromABoardLostAfterThePresenceTestFailsCleanly) {
  fs.AddFile("E:\\Z4.INI", "new");
  fs.AddFile(kLocalIni, "old");
  fs.before_operation = [&](const std::string& op) {
    if (op.rfind("copy E:", 0) == 0) fs.RemoveDrive('E');
  };
  const TransferResult r = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(fs.CountOps("copy"), 2) << "the second search without the drive ends the attempts";
  EXPECT_EQ(fs.Contents(kLocalIni), "old");
}

TEST_F(FileExchangeTest, FetchIntoAFullOrReadOnlyLocalFolderLeavesTheOldCopyWhole) {
  fs.AddFile("E:\\Z4.INI", std::string(4096, 'x'));
  fs.AddFile(kLocalIni, "old");
  fs.SetFreeSpace('C', 100);
  TransferResult r = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(fs.Contents(kLocalIni), "old");

  fs.SetFreeSpace('C', 1 << 20);
  fs.SetReadOnly(kLocalIni, true);
  r = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(fs.Contents(kLocalIni), "old");
}

// ---- the backup folder

TEST_F(FileExchangeTest, LocalPathCreatesTheFolderAndTouchesNoFile) {
  ASSERT_FALSE(fs.Exists(kBackup));
  const TransferResult r = TransferFile(ports, "Z4.JOB", "", TransferMode::LocalPath);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.path, kLocalJob);
  EXPECT_TRUE(fs.IsDirectory(kBackup));
  EXPECT_FALSE(fs.Exists(kLocalJob));
  EXPECT_EQ(fs.CountOps("copy") + fs.CountOps("write") + fs.CountOps("open"), 0);
  EXPECT_EQ(clock.PauseCount(), 0);
}

TEST_F(FileExchangeTest, EnsuringTheFolderLeavesTheCurrentDirectoryAsItWas) {
  fs.AddDirectory("C:\\Work");
  ASSERT_TRUE(fs.EnterDirectory("C:\\Work"));
  EXPECT_EQ(EnsureBackupFolder(ports), 0);
  EXPECT_EQ(fs.CurrentDirectory(), "C:\\Work");
  EXPECT_EQ(fs.CountOps("mkdir"), 1);
  // The second time the folder is found by entering it; nothing is created.
  EXPECT_EQ(EnsureBackupFolder(ports), 0);
  EXPECT_EQ(fs.CountOps("mkdir"), 1);
  EXPECT_EQ(fs.CurrentDirectory(), "C:\\Work");
}

TEST_F(FileExchangeTest, AFolderCreatedButNotEnterableFailsTheTransfer) {
  // Something removes the folder between its creation and the check.
  bool removing = false;
  fs.before_operation = [&](const std::string& op) {
    if (!removing && op == std::string("cd ") + kBackup && fs.Exists(kBackup)) {
      removing = true;
      fs.RemoveEmptyDirectory(kBackup);
    }
  };
  fs.AddFile("E:\\Z4.INI", "Density:80\r\n");
  TransferResult r = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.path, "");
  EXPECT_THAT(BoardOps(), IsEmpty());
  EXPECT_EQ(fs.CurrentDirectory(), "C:\\");

  removing = false;
  r = TransferFile(ports, "Z4.JOB", "", TransferMode::LocalPath);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.path, "");
}

TEST_F(FileExchangeTest, AFolderThatCannotBeCreatedIsTakenToExist) {
  fs.SetReadOnly(kProgramFolder, true);
  TransferResult r = TransferFile(ports, "Z4.JOB", "", TransferMode::LocalPath);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.path, kLocalJob);
  // The copy into the missing folder is what fails then.
  fs.AddFile("E:\\Z4.INI", "Density:80\r\n");
  r = TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.path, kLocalIni);
  EXPECT_EQ(fs.CountOps("copy"), 6);
}

// ---- Deliver

TEST_F(FileExchangeTest, DeliverCopiesToTheBoardAndFlushesTheFile) {
  fs.AddFile(kLocalJob, "SetDataOut:\r\nEnd:\r\n");
  const TransferResult r = TransferFile(ports, "Z4.JOB", kLocalJob, TransferMode::Deliver);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.path, "");
  EXPECT_EQ(fs.Contents("E:\\Z4.JOB"), "SetDataOut:\r\nEnd:\r\n");
  EXPECT_THAT(BoardOps(),
              ElementsAre(std::string("copy ") + kLocalJob + " -> E:\\Z4.JOB", "flush E:\\Z4.JOB"));
  EXPECT_EQ(clock.PauseCount(), 0);
  EXPECT_FALSE(fs.Exists("E:\\Z4Dummy.TXT"));
}

TEST_F(FileExchangeTest, DeliverOnWindows2000WritesTheFlushFileAfterTheCopy) {
  system.version = OsVersion{5, 0};
  fs.AddFile(kLocalJob, "End:\r\n");
  fs.FailNextCopies(2);
  const TransferResult r = TransferFile(ports, "Z4.JOB", kLocalJob, TransferMode::Deliver);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(fs.Contents("E:\\Z4Dummy.TXT"), "ABBD");
  const std::string copy = std::string("copy ") + kLocalJob + " -> E:\\Z4.JOB";
  const char* look = "search E:\\Z4.JOB";
  EXPECT_THAT(BoardOps(), ElementsAre(copy, look, copy, look, copy, "flush E:\\Z4.JOB",
                                      "write E:\\Z4Dummy.TXT"));
  EXPECT_THAT(clock.Pauses(), ElementsAre(500u, 500u));
}

TEST_F(FileExchangeTest, NoFlushFileOnAnyOtherSystemOrWhenTheVersionIsUnknown) {
  fs.AddFile(kLocalJob, "End:\r\n");
  const std::vector<std::optional<OsVersion>> versions = {
      OsVersion{4, 10}, OsVersion{4, 90}, OsVersion{5, 1}, OsVersion{5, 2},
      OsVersion{6, 0},  OsVersion{4, 0},  std::nullopt,
  };
  for (const auto& version : versions) {
    system.version = version;
    EXPECT_EQ(TransferFile(ports, "Z4.JOB", kLocalJob, TransferMode::Deliver).status, 0);
    EXPECT_FALSE(fs.Exists("E:\\Z4Dummy.TXT"));
  }
  EXPECT_EQ(fs.CountOps("write"), 0);
}

TEST_F(FileExchangeTest, ABoardThatNeverAcceptsTheCopyCosts60AttemptsAnd30Seconds) {
  system.version = OsVersion{5, 0};
  fs.AddFile(kLocalJob, "End:\r\n");
  fs.FailNextCopies(1000);
  const TransferResult r = TransferFile(ports, "Z4.JOB", kLocalJob, TransferMode::Deliver);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(fs.CountOps("copy"), 60);
  EXPECT_EQ(clock.PauseCount(), 60);
  EXPECT_EQ(clock.PausedMs(), 30000);
  EXPECT_EQ(fs.CountOps("write") + fs.CountOps("flush"), 0);
  EXPECT_THAT(fs.List("E:\\"), IsEmpty());
}

TEST_F(FileExchangeTest, DeliverDoesNotAskWhetherTheBoardIsKnown) {
  SharedState::SetDeviceFound(0);
  fs.AddFile(kLocalJob, "End:\r\n");
  EXPECT_EQ(TransferFile(ports, "Z4.JOB", kLocalJob, TransferMode::Deliver).status, 0);
  EXPECT_TRUE(fs.Exists("E:\\Z4.JOB"));

  SharedState::SetDeviceDrive("");
  const TransferResult r = TransferFile(ports, "Z4.JOB", kLocalJob, TransferMode::Deliver);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(clock.PausedMs(), 30000);
}

TEST_F(FileExchangeTest, ABoardLostDuringDeliveryGetsNoFlushFile) {
  system.version = OsVersion{5, 0};
  fs.AddFile(kLocalJob, "End:\r\n");
  fs.before_operation = [&](const std::string& op) {
    if (op.rfind("copy", 0) == 0) fs.RemoveDrive('E');
  };
  EXPECT_EQ(TransferFile(ports, "Z4.JOB", kLocalJob, TransferMode::Deliver).status, 1);
  EXPECT_EQ(fs.CountOps("write") + fs.CountOps("flush"), 0);
  fs.AddDrive('E');
  EXPECT_THAT(fs.List("E:\\"), IsEmpty());
}

TEST_F(FileExchangeTest, AFlushThatFailsDoesNotTurnADeliveryIntoAFailure) {
  fs.AddFile(kLocalJob, "End:\r\n");
  // The board grabs the file the moment it appears.
  fs.before_operation = [&](const std::string& op) {
    if (op == "flush E:\\Z4.JOB") fs.SetHeldOpen("E:\\Z4.JOB", true);
  };
  EXPECT_EQ(TransferFile(ports, "Z4.JOB", kLocalJob, TransferMode::Deliver).status, 0);
}

// ---- every mode

TEST_F(FileExchangeTest, PanelBusyIsSetForTheWholeTransferAndClearedAfter) {
  std::vector<int> seen;
  fs.before_operation = [&](const std::string&) { seen.push_back(SharedState::GetPanelBusy()); };
  clock.AddActor(100, [&](std::int64_t) { seen.push_back(SharedState::GetPanelBusy()); });
  fs.AddFile("E:\\Z4.INI", "Density:80\r\n");
  fs.AddFile(kLocalJob, "End:\r\n");

  fs.FailNextCopies(2);
  TransferFile(ports, "Z4.INI", "", TransferMode::Fetch);
  EXPECT_EQ(SharedState::GetPanelBusy(), 0);
  TransferFile(ports, "Z4.JOB", "", TransferMode::LocalPath);
  EXPECT_EQ(SharedState::GetPanelBusy(), 0);
  fs.FailNextCopies(3);
  TransferFile(ports, "Z4.JOB", kLocalJob, TransferMode::Deliver);
  EXPECT_EQ(SharedState::GetPanelBusy(), 0);

  ASSERT_GT(seen.size(), 20u);
  EXPECT_THAT(seen, ::testing::Each(1));
}

TEST_F(FileExchangeTest, AnUnknownModeDoesNothing) {
  fs.AddFile("E:\\Z4.INI", "x");
  const TransferResult r = TransferFile(ports, "Z4.INI", "", static_cast<TransferMode>(3));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.path, "");
  EXPECT_THAT(fs.log, IsEmpty());
  EXPECT_EQ(SharedState::GetPanelBusy(), 0);
}

// ---- presence tests

TEST_F(FileExchangeTest, EveryKindNamesItsOwnFile) {
  const char* names[] = {"Z4.INI", "Z4.JOB",   "Z4JOB.END",    "Z4.CSV",
                         "Z4.LOG", "test.png", "Mb000120.tif", "Z4Dummy.TXT"};
  for (int kind = 0; kind < 8; ++kind) {
    fs.log.clear();
    EXPECT_EQ(DeviceFileReady(ports, kind), 1) << kind;
    fs.AddFile(std::string("E:\\") + names[kind], "x");
    EXPECT_EQ(DeviceFileReady(ports, kind), 0) << kind;
    EXPECT_THAT(fs.log, ElementsAre(std::string("open E:\\") + names[kind],
                                    std::string("search E:\\") + names[kind],
                                    std::string("open E:\\") + names[kind]));
  }
}

TEST_F(FileExchangeTest, APresenceTestCosts150msFoundOrNot) {
  fs.AddFile("E:\\Z4.JOB", "x");
  EXPECT_EQ(DeviceFileReady(ports, kKindJob), 0);
  EXPECT_EQ(DeviceFileReady(ports, kKindLog), 1);
  EXPECT_THAT(clock.Pauses(), ElementsAre(150u, 150u));
}

TEST_F(FileExchangeTest, TheEndMarkerIsHeldOpen300msThenTheTestCosts450ms) {
  fs.AddFile("E:\\Z4JOB.END", "");
  std::vector<bool> held;
  clock.AddActor(
      100, [&](std::int64_t) { held.push_back(fs.OpenExclusive("E:\\Z4JOB.END") == nullptr); });
  EXPECT_EQ(DeviceFileReady(ports, kKindEndMarker), 0);
  EXPECT_EQ(clock.PausedMs(), 450);
  EXPECT_THAT(clock.Pauses(), ElementsAre(300u, 150u));
  // Held at 100, 200 and 300 ms (the end of the hold), free during the 150 ms after.
  EXPECT_THAT(held, ElementsAre(true, true, true, false));
  EXPECT_NE(fs.OpenExclusive("E:\\Z4JOB.END"), nullptr) << "closed afterwards";
}

TEST_F(FileExchangeTest, AFileHeldOpenOrReadOnlyCountsAsNotPresent) {
  fs.AddFile("E:\\Z4JOB.END", "");
  fs.SetHeldOpen("E:\\Z4JOB.END", true);
  EXPECT_EQ(DeviceFileReady(ports, kKindEndMarker), 1);
  EXPECT_EQ(clock.PausedMs(), 150);
  fs.AddFile("E:\\Z4.LOG", "");
  fs.SetReadOnly("E:\\Z4.LOG", true);
  EXPECT_EQ(DeviceFileReady(ports, kKindLog), 1);
}

TEST_F(FileExchangeTest, WithoutABoardAPresenceTestIsImmediate) {
  SharedState::SetDeviceFound(0);
  fs.AddFile("E:\\Z4JOB.END", "");
  EXPECT_EQ(DeviceFileReady(ports, kKindEndMarker), 1);
  EXPECT_EQ(clock.PauseCount(), 0);
  EXPECT_THAT(fs.log, IsEmpty());
}

TEST_F(FileExchangeTest, AKindThatNamesNoFileGivesOneAfterThePause) {
  for (int kind : {8, 9, 100, -1}) {
    clock.ClearPauseLog();
    EXPECT_EQ(DeviceFileReady(ports, kind), 1);
    EXPECT_THAT(clock.Pauses(), ElementsAre(150u));
  }
  EXPECT_THAT(fs.log, IsEmpty());
}

// ---- deletion

TEST_F(FileExchangeTest, SelectorsNumberTheFilesDifferentlyFromKinds) {
  const char* by_selector[] = {"Z4.INI", "Z4.CSV", "Z4.JOB", "Z4JOB.END", "Z4Dummy.TXT"};
  for (int selector = 0; selector < 5; ++selector) {
    for (const char* name : by_selector) fs.AddFile(std::string("E:\\") + name, "x");
    DeleteDeviceFile(ports, selector);
    for (const char* name : by_selector) {
      EXPECT_EQ(fs.Exists(std::string("E:\\") + name), name != std::string(by_selector[selector]))
          << "selector " << selector << ", file " << name;
    }
  }
}

TEST_F(FileExchangeTest, DeletionPausesLikeItsPresenceTestAndNotAfter) {
  fs.AddFile("E:\\Z4JOB.END", "");
  fs.AddFile("E:\\Z4.CSV", "");
  DeleteDeviceFile(ports, kDeleteEndMarker);
  DeleteDeviceFile(ports, kDeleteLevelData);
  DeleteDeviceFile(ports, kDeleteJob);  // absent: tested, not deleted
  EXPECT_THAT(clock.Pauses(), ElementsAre(300u, 150u, 150u, 150u));
  EXPECT_THAT(fs.log, ElementsAre("open E:\\Z4JOB.END", "delete E:\\Z4JOB.END", "open E:\\Z4.CSV",
                                  "delete E:\\Z4.CSV", "open E:\\Z4.JOB", "search E:\\Z4.JOB"));
}

TEST_F(FileExchangeTest, AFileTheBoardHoldsOpenIsNotDeleted) {
  fs.AddFile("E:\\Z4.JOB", "x");
  fs.SetHeldOpen("E:\\Z4.JOB", true);
  DeleteDeviceFile(ports, kDeleteJob);
  EXPECT_TRUE(fs.Exists("E:\\Z4.JOB"));
  EXPECT_EQ(fs.CountOps("delete"), 0);
}

TEST_F(FileExchangeTest, OtherSelectorsOrNoBoardDeleteNothing) {
  for (const char* name : {"Z4.INI", "Z4.CSV", "Z4.JOB", "Z4JOB.END", "Z4Dummy.TXT", "Z4.LOG"}) {
    fs.AddFile(std::string("E:\\") + name, "x");
  }
  for (int selector : {5, 7, -1, 100}) DeleteDeviceFile(ports, selector);
  SharedState::SetDeviceFound(0);
  for (int selector = 0; selector < 5; ++selector) DeleteDeviceFile(ports, selector);
  EXPECT_EQ(fs.List("E:\\").size(), 6u);
  EXPECT_THAT(fs.log, IsEmpty());
  EXPECT_EQ(clock.PauseCount(), 0);
}

}  // namespace
}  // namespace z4
