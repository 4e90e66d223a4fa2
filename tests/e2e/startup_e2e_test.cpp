// The program started as a user starts it, with and without the board.
#include <gtest/gtest.h>
#include <string>

#include "board_registry.h"
#include "e2e_support.h"
#include "res/resource_ids.h"

namespace z4::e2e {
namespace {

const char kTextTable[] =
    "; texts for the end-to-end tests\r\n"
    "LANGUAGE=ENGLISH\r\n"
    "CONF_DIALOG=Z-4 Setup (test)\r\n"
    "LBL_BOARD=Board\r\n"
    "LBL_FILEDATE=File date\r\n"
    "LBL_FORMAT=Format\r\n"
    "RADIO_FILE_1=PNG\r\n"
    "RADIO_FILE_2=TIFF\r\n"
    "LVL_SHADE_THIN=Light\r\n"
    "LVL_SHADE_DEEP=Dark\r\n"
    "BUTTON_SET=Set\r\n"
    "BUTTON_CANSEL=Cancel\r\n"
    "ERROR_USB_INITIALIZE=No Z-4 board was found.\r\n"
    "ERROR_USB_CAPTION_JAPAN=Z-4 Utility\r\n"
    "MODE_FONT=MS Sans Serif\r\n"
    "MODE_FONT_SIZE=80\r\n";

std::wstring TextTablePath() {
  return ProgramFolder() + L"\\Z4Utility.ini";
}

OSVERSIONINFOW Version() {
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof(v);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&v);
#pragma GCC diagnostic pop
  return v;
}

// The window a found board opens: texts, date lists, maintenance panel
// disabled and out of sight, half the full width, no message.
void ExpectWindowForBoard() {
  Process utility;
  ASSERT_TRUE(utility.Start(ProgramPath()));
  HWND window = WaitMainWindowOpened(utility.Id(), 15000);
  ASSERT_NE(window, nullptr) << "the main window did not show";
  EXPECT_TRUE(MessageBoxesOf(utility.Id()).empty());

  EXPECT_EQ(Text(window), L"Z-4 Setup (test)");
  EXPECT_EQ(ItemText(window, IDC_LBL_BOARD), L"Board");
  EXPECT_EQ(ItemText(window, IDC_FORMAT_TIFF), L"TIFF");
  EXPECT_EQ(ItemText(window, IDC_SHADE_DEEP), L"Dark");
  EXPECT_EQ(ItemText(window, IDC_SET), L"Set");
  EXPECT_EQ(ItemText(window, IDC_CANCEL_BUTTON), L"Cancel");
  EXPECT_EQ(ItemText(window, IDC_ITEM_CCD), L"CCD") << "English built-in texts";

  EXPECT_EQ(ComboCount(window, IDC_YEAR_LIST), 1000);
  EXPECT_EQ(ComboItem(window, IDC_YEAR_LIST, 0), L"2000");
  EXPECT_EQ(ComboItem(window, IDC_YEAR_LIST, 999), L"2999");
  EXPECT_EQ(ComboCount(window, IDC_MONTH_LIST), 12);
  EXPECT_EQ(ComboItem(window, IDC_MONTH_LIST, 9), L"10");
  EXPECT_EQ(ComboCount(window, IDC_DAY_LIST), 31);

  for (int id = IDC_ITEM_CCD; id <= IDC_EXECUTE; ++id) EXPECT_FALSE(ItemEnabled(window, id)) << id;
  EXPECT_FALSE(ItemEnabled(window, IDC_STOP));
  EXPECT_TRUE(ItemEnabled(window, IDC_CANCEL_BUTTON));

  // The full width in pixels from a wide control's known width in dialog units.
  RECT frame{}, client{};
  GetWindowRect(window, &frame);
  GetClientRect(window, &client);
  const RECT item = ItemRect(window, IDC_ITEM_INFO);  // 150 dialog units wide
  const double pixels_per_unit = (item.right - item.left) / 150.0;
  const int borders = (frame.right - frame.left) - (client.right - client.left);
  const int full = static_cast<int>(359 * pixels_per_unit + 0.5) + borders;
  EXPECT_NEAR(frame.right - frame.left, full / 2, 3);
  EXPECT_GE(item.left, frame.right) << "the maintenance panel lies outside the window";
  EXPECT_LT(ItemRect(window, IDC_CANCEL_BUTTON).right, frame.right);
  EXPECT_NEAR(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2, 2)
      << "centred after the cut";

  // The board answers the read job; then the panel can be used.
  EXPECT_TRUE(WaitFor([&] { return ItemEnabled(window, IDC_SET); }, 20000));
  EXPECT_TRUE(MessageBoxesOf(utility.Id()).empty());
  Click(window, IDC_CANCEL_BUTTON);
  DWORD code = 1;
  EXPECT_TRUE(utility.WaitExit(10000, &code));
  EXPECT_EQ(code, 0u);
}

TEST(NoBoard, OneMessageThenTheProgramEndsByItself) {
  ASSERT_TRUE(WriteBytes(TextTablePath(), kTextTable));
  Process utility;
  ASSERT_TRUE(utility.Start(ProgramPath()));
  HWND box = WaitMessageBox(utility.Id(), 15000);
  ASSERT_NE(box, nullptr) << "no message box";
  EXPECT_EQ(Text(box), L"Z-4 Utility");
  EXPECT_EQ(ItemText(box, 0xFFFF), L"No Z-4 board was found.");
  EXPECT_EQ(MessageBoxesOf(utility.Id()).size(), 1u);
  EXPECT_EQ(FindDialogWithControl(utility.Id(), IDC_SET), nullptr)
      << "the message comes before the window shows";

  SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  // After OK nothing more is asked: the program ends at its first timer tick.
  size_t most_boxes = 0;
  const bool ended = WaitFor(
      [&] {
        most_boxes = std::max(most_boxes, MessageBoxesOf(utility.Id()).size());
        return WaitForSingleObject(utility.Handle(), 0) == WAIT_OBJECT_0;
      },
      10000);
  EXPECT_TRUE(ended);
  EXPECT_EQ(most_boxes, 0u);
  DWORD code = 1;
  utility.WaitExit(0, &code);
  EXPECT_EQ(code, 0u);
}

enum class Route { Nt, Windows98, WindowsMe };

// The board registered the way the running Windows version records it, found
// on that version's route.
void ExpectBoardFoundOn(Route route, unsigned major, unsigned minor) {
  EXPECT_EQ(Version().dwMajorVersion, major);
  EXPECT_EQ(Version().dwMinorVersion, minor);
  ASSERT_TRUE(WriteBytes(TextTablePath(), kTextTable));
  switch (route) {
    case Route::Nt:
      ASSERT_TRUE(RegisterBoardNt(L'E'));
      break;
    case Route::Windows98:
      ASSERT_TRUE(RegisterBoard9x(Legacy::Windows98, L'E'));
      break;
    case Route::WindowsMe:
      ASSERT_TRUE(RegisterBoard9x(Legacy::WindowsMe, L'E'));
      break;
  }
  EmulatedBoard board;
  ASSERT_TRUE(board.Start());
  ExpectWindowForBoard();
}

TEST(BoardXp, FoundThroughTheMountedDeviceTable) {
  ExpectBoardFoundOn(Route::Nt, 5, 1);
}

TEST(Board2000, FoundThroughTheMountedDeviceTable) {
  ExpectBoardFoundOn(Route::Nt, 5, 0);
}

TEST(Board98, FoundThroughTheDynamicDeviceList) {
  ExpectBoardFoundOn(Route::Windows98, 4, 10);
}

TEST(BoardMe, FoundThroughTheDynamicDeviceList) {
  ExpectBoardFoundOn(Route::WindowsMe, 4, 90);
}

TEST(NoTextTable, CaptionAndLabelsAreEmpty) {
  DeleteFileW(TextTablePath().c_str());
  WithBoardWindow([](HWND window) {
    EXPECT_EQ(Text(window), L"");
    for (int id : {IDC_LBL_BOARD, IDC_LBL_FILEDATE, IDC_SET, IDC_CANCEL_BUTTON, IDC_SETTING_0}) {
      EXPECT_EQ(ItemText(window, id), L"") << id;
    }
    EXPECT_EQ(ItemText(window, IDC_ITEM_FEED), L"FIDO") << "no file means English built-in texts";
  });
}

TEST(Utf8TextTable, JapaneseTextsShowAsWritten) {
  ASSERT_TRUE(WriteBytes(TextTablePath(),
                         "\xEF\xBB\xBF"
                         "LANGUAGE=JAPAN\r\n"
                         "CONF_DIALOG=Z-4 \xE8\xA8\xAD\xE5\xAE\x9A\r\n"  // 設定
                         "BUTTON_SET=\xE8\xA8\xAD\xE5\xAE\x9A\r\n"));
  WithBoardWindow([](HWND window) {
    EXPECT_EQ(Text(window), L"Z-4 \u8A2D\u5B9A");
    EXPECT_EQ(ItemText(window, IDC_SET), L"\u8A2D\u5B9A");
    EXPECT_EQ(ItemText(window, IDC_ITEM_KIBAN), L"\u57FA\u677F\u691C\u67FB") << "基板検査";
  });
}

}  // namespace
}  // namespace z4::e2e
