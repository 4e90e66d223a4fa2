// The board's settings through the real program: read from the emulated board,
// changed in every control, written back, and the board unplugged.
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#include "board_registry.h"
#include "e2e_support.h"
#include "res/resource_ids.h"

namespace z4::e2e {
namespace {

const char kTexts[] =
    "LANGUAGE=ENGLISH\r\n"
    "CONF_DIALOG=Z-4 Setup (test)\r\n"
    "SLIDER_MIN=min\r\n"
    "SLIDER_SECOND=s\r\n"
    "BUTTON_SET=Set\r\n"
    "ERROR_USB_WRITE_JAPAN=The settings were not written.\r\n"
    "ERROR_USB_STOP_JAPAN=The board was removed.\r\n"
    "ERROR_USB_CAPTION_JAPAN=Z-4 Utility\r\n"
    "USB_INI_DIALOG=Z-4\r\n"
    "USB_INI_FILE_READ=Reading...\r\n"
    "USB_INI_FILE_WRITE=Writing...\r\n";

const char kBoardState[] =
    "Density=80\nCCFLOffTim=045\nCCFLStabTim=030\nFileFormat=T\nSetting=V\n"
    "FileDate=2008/02/29 13:14:15\nImageMove=Y\n";

// How the program learns the board's drive: the Windows 2000/XP registry, the
// Windows 98 registry, the volume entry of Windows Vista and later, or the
// /drive:E option.
enum class Route { Nt, Windows98, Volume, DriveOption };

// What the window shows when the board's settings have arrived.
void ExpectBoardState(HWND w) {
  EXPECT_EQ(TrackbarPos(w, IDC_DENSITY_TRACKBAR), 80);
  EXPECT_EQ(ItemText(w, IDC_DENSITY_VALUE), L"80%");
  EXPECT_EQ(TrackbarPos(w, IDC_OFFTIME_TRACKBAR), 3);
  EXPECT_EQ(ItemText(w, IDC_OFFTIME_VALUE), L"45min");
  EXPECT_EQ(TrackbarPos(w, IDC_STABTIME_TRACKBAR), 3);
  EXPECT_EQ(ItemText(w, IDC_STABTIME_VALUE), L"30s");
  EXPECT_TRUE(Checked(w, IDC_FORMAT_TIFF));
  EXPECT_FALSE(Checked(w, IDC_FORMAT_PNG));
  EXPECT_TRUE(Checked(w, IDC_SETTING_1));
  EXPECT_FALSE(Checked(w, IDC_SETTING_0));
  EXPECT_TRUE(Checked(w, IDC_IMAGEMOVE_1));
  EXPECT_EQ(ItemText(w, IDC_YEAR_LIST), L"2008");
  EXPECT_EQ(ItemText(w, IDC_MONTH_LIST), L"2");
  EXPECT_EQ(ItemText(w, IDC_DAY_LIST), L"29");
}

// Returns whether the flush file was seen on the board while the read job ran.
// With `pull_during_set` the board stops after those two jobs, and is pulled
// while a second Set waits for it.
void ReadChangeWriteUnplug(Route route, bool* flush_file_seen, bool pull_during_set = false) {
  ASSERT_TRUE(WriteBytes(ProgramFolder() + L"\\Z4Utility.ini", kTexts));
  if (route == Route::Nt) {
    ASSERT_TRUE(RegisterBoardNt(L'E'));
  } else if (route == Route::Windows98) {
    ASSERT_TRUE(RegisterBoard9x(Legacy::Windows98, L'E'));
  } else if (route == Route::Volume) {
    // Another USB disk before the board, and the board's second unit after it.
    ASSERT_TRUE(RegisterOtherUsbDiskVolume(L'D'));
    ASSERT_TRUE(RegisterBoardVolume(L'E', 0));
    ASSERT_TRUE(RegisterBoardVolume(L'F', 1));
  }
  EmulatedBoard board;
  ASSERT_TRUE(board.Start(kBoardState, pull_during_set ? L"--exit-after-jobs 3" : L""));

  Process utility;
  ASSERT_TRUE(utility.Start(ProgramPath(), route == Route::DriveOption ? L"/drive:E" : L""));
  HWND w = WaitDialogWithControl(utility.Id(), IDC_SET, 15000);
  ASSERT_NE(w, nullptr);
  bool seen = false;
  ASSERT_TRUE(WaitFor(
      [&] {
        seen = seen || GetFileAttributesW(L"E:\\Z4Dummy.TXT") != INVALID_FILE_ATTRIBUTES;
        return ItemEnabled(w, IDC_SET);
      },
      20000))
      << "the board's settings did not arrive";
  if (flush_file_seen) *flush_file_seen = seen;
  EXPECT_EQ(GetFileAttributesW(L"E:\\Z4Dummy.TXT"), INVALID_FILE_ATTRIBUTES)
      << "the flush file is gone after the job";
  EXPECT_EQ(GetFileAttributesW(L"E:\\Z4.INI"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW(L"E:\\Z4.JOB"), INVALID_FILE_ATTRIBUTES);
  ExpectBoardState(w);

  // Every setting changed through its control, then Set.
  DragTrackbar(w, IDC_DENSITY_TRACKBAR, 72);
  EXPECT_EQ(ItemText(w, IDC_DENSITY_VALUE), L"72%");
  DragTrackbar(w, IDC_OFFTIME_TRACKBAR, 8);
  EXPECT_EQ(ItemText(w, IDC_OFFTIME_VALUE), L"120min");
  DragTrackbar(w, IDC_STABTIME_TRACKBAR, 1);
  ChooseRadio(w, IDC_FORMAT_PNG, IDC_FORMAT_TIFF);
  ChooseRadio(w, IDC_SETTING_0, IDC_SETTING_1);
  ChooseRadio(w, IDC_IMAGEMOVE_0, IDC_IMAGEMOVE_1);
  TypeText(w, IDC_YEAR_LIST, L"2012");
  TypeText(w, IDC_MONTH_LIST, L"12");
  TypeText(w, IDC_DAY_LIST, L"3");
  Click(w, IDC_SET);
  ASSERT_TRUE(WaitFor([&] { return !ItemEnabled(w, IDC_SET); }, 5000));
  ASSERT_TRUE(WaitFor([&] { return ItemEnabled(w, IDC_SET); }, 30000)) << "the write never ended";
  EXPECT_TRUE(MessageBoxesOf(utility.Id()).empty());
  EXPECT_EQ(board.State(),
            "Density=72\nCCFLOffTim=120\nCCFLStabTim=010\nFileFormat=P\nSetting=H\n"
            "FileDate=2012/12/03 00:00:00\nImageMove=N\n");
  const std::string journal = board.Journal();
  EXPECT_NE(journal.find("SetDataOut:\r\nEnd:\r\n"), std::string::npos);
  EXPECT_NE(journal.find("SetDataIn:\r\nEnd:\r\n"), std::string::npos);

  if (pull_during_set) {
    ASSERT_TRUE(board.WaitExit(5000));
    Click(w, IDC_SET);
    HWND status = WaitDialogWithControl(utility.Id(), IDC_STATUS_MESSAGE, 5000);
    ASSERT_NE(status, nullptr);
    Sleep(1000);
    const DWORD pulled = GetTickCount();
    ASSERT_TRUE(Unplug());
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(status); }, 3000)) << "not within 3 s of the pull";
    std::printf("the status window ended %lu ms after the pull\n", GetTickCount() - pulled);
    HWND failed = WaitMessageBox(utility.Id(), 60000);
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(ItemText(failed, 0xFFFF), L"The settings were not written.");
    SendMessageW(GetDlgItem(failed, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(failed); }, 5000));
  } else {
    ASSERT_TRUE(Unplug());
  }
  // Unplugged: message kind 2, and after OK the program ends.
  HWND box = WaitMessageBox(utility.Id(), 5000);
  ASSERT_NE(box, nullptr) << "no message after the board went away";
  EXPECT_EQ(ItemText(box, 0xFFFF), L"The board was removed.");
  EXPECT_EQ(Text(box), L"Z-4 Utility");
  SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  DWORD code = 1;
  EXPECT_TRUE(utility.WaitExit(10000, &code));
  EXPECT_EQ(code, 0u);
}

TEST(SettingsXp, ReadChangedWrittenAndUnplugged) {
  bool flush = true;
  ReadChangeWriteUnplug(Route::Nt, &flush);
  EXPECT_FALSE(flush) << "no flush file on Windows XP";
}

TEST(Settings2000, TheFlushFileComesAndGoesWithTheJob) {
  bool flush = false;
  ReadChangeWriteUnplug(Route::Nt, &flush);
  EXPECT_TRUE(flush) << "the flush file was never seen on the board";
}

TEST(Settings98, ReadChangedWrittenAndUnplugged) {
  ReadChangeWriteUnplug(Route::Windows98, nullptr);
}

// Windows 10: the option names the drive; the board is pulled during a Set.
TEST(SettingsWin10, ReadChangedWrittenAndPulledDuringSetThroughTheDriveOption) {
  ReadChangeWriteUnplug(Route::DriveOption, nullptr, true);
}

// Windows 10 without options: the board's volume entry names the drive.
TEST(SettingsWin10Volume, FoundWithoutOptionsReadChangedWrittenAndUnplugged) {
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof(v);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ASSERT_TRUE(GetVersionExW(&v));
#pragma GCC diagnostic pop
  std::printf("the system reports Windows %lu.%lu\n", v.dwMajorVersion, v.dwMinorVersion);
  ASSERT_TRUE(v.dwMajorVersion > 5 || (v.dwMajorVersion == 5 && v.dwMinorVersion >= 2));
  bool flush = true;
  ReadChangeWriteUnplug(Route::Volume, &flush);
  EXPECT_FALSE(flush) << "the flush file is for Windows 2000 only";
}

}  // namespace
}  // namespace z4::e2e
