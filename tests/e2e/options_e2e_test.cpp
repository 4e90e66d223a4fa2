// The command line, the help button and the shipped texts, through the real
// program.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>
#include <string>

#include "board_registry.h"
#include "e2e_support.h"
#include "res/resource_ids.h"

namespace z4::e2e {
namespace {

const char kTexts[] =
    "LANGUAGE=ENGLISH\r\n"
    "ERROR_USB_INITIALIZE=No Z-4 board was found.\r\n"
    "ERROR_USB_CAPTION_JAPAN=Z-4 Utility\r\n";

std::wstring TextTablePath() {
  return ProgramFolder() + L"\\Z4Utility.ini";
}

// Starts the program with `arguments`, expects exactly one message box, and
// returns its text after closing it; the program must then end by itself with
// `exit_code` (1 for a refused command line).
std::wstring OnlyMessageThenEnd(const std::wstring& arguments, std::wstring* caption = nullptr,
                                DWORD exit_code = 0) {
  Process utility;
  EXPECT_TRUE(utility.Start(ProgramPath(), arguments));
  HWND box = WaitMessageBox(utility.Id(), 15000);
  EXPECT_NE(box, nullptr) << "no message box";
  if (!box) return {};
  EXPECT_EQ(MessageBoxesOf(utility.Id()).size(), 1u);
  EXPECT_EQ(FindDialogWithControl(utility.Id(), IDC_SET), nullptr);
  const std::wstring text = ItemText(box, 0xFFFF);
  if (caption) *caption = Text(box);
  SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  DWORD code = 99;
  EXPECT_TRUE(utility.WaitExit(10000, &code)) << "the program did not end";
  EXPECT_EQ(code, exit_code);
  return text;
}

TEST(Win10NoOption, AnotherUsbDisksVolumeIsNotTheBoardSoMessageKind0ThenTheEnd) {
  ASSERT_TRUE(WriteBytes(TextTablePath(), kTexts));
  // The emulated board answers on E:, but the registry names another USB disk
  // there: only the option could name E:.
  ASSERT_TRUE(RegisterOtherUsbDiskVolume(L'E'));
  EmulatedBoard board;
  ASSERT_TRUE(board.Start());
  std::wstring caption;
  EXPECT_EQ(OnlyMessageThenEnd(L"", &caption), L"No Z-4 board was found.");
  EXPECT_EQ(caption, L"Z-4 Utility");
  EXPECT_EQ(board.Journal(), "") << "no job reached the board";
}

TEST(MalformedOption, OneMessageNamingTheAcceptedFormsThenTheEnd) {
  ASSERT_TRUE(WriteBytes(TextTablePath(), kTexts));
  EmulatedBoard board;
  ASSERT_TRUE(board.Start());
  for (const wchar_t* option : {L"/drive:EF", L"-drive:", L"/drive:1", L"/help"}) {
    SCOPED_TRACE(option);
    std::wstring caption;
    const std::wstring text = OnlyMessageThenEnd(option, &caption, 1);
    EXPECT_NE(text.find(option), std::wstring::npos) << "names the argument";
    EXPECT_NE(text.find(L"/drive:X"), std::wstring::npos);
    EXPECT_NE(text.find(L"/adjust"), std::wstring::npos);
    EXPECT_EQ(caption, L"Z4Utility");
  }
  EXPECT_EQ(board.Journal(), "") << "the board was not touched";
  EXPECT_EQ(GetFileAttributesW(L"E:\\Z4.JOB"), INVALID_FILE_ATTRIBUTES);
}

TEST(MalformedOptionJapanese, TheMessageIsInJapanese) {
  ASSERT_TRUE(WriteBytes(TextTablePath(), "LANGUAGE=JAPAN\r\n"));
  const std::wstring text = OnlyMessageThenEnd(L"/drive:EF", nullptr, 1);
  EXPECT_NE(text.find(L"\u30AA\u30D7\u30B7\u30E7\u30F3"), std::wstring::npos) << "オプション";
  EXPECT_NE(text.find(L"/drive:X"), std::wstring::npos);
}

// Pixels of the year "2999" that the year list's edit field cannot show (0 or
// less when the whole year is visible).
int YearOverflow(HWND window) {
  HWND combo = GetDlgItem(window, IDC_YEAR_LIST);
  HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
  if (!edit) {
    ADD_FAILURE() << "the year list has no edit field";
    return 1000;
  }
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"2999"));
  SendMessageW(edit, EM_SETSEL, 0, 0);  // caret at the start: no scrolling
  const LRESULT third = SendMessageW(edit, EM_POSFROMCHAR, 2, 0);
  const LRESULT fourth = SendMessageW(edit, EM_POSFROMCHAR, 3, 0);
  const int x2 = static_cast<short>(LOWORD(third));
  const int x3 = static_cast<short>(LOWORD(fourth));
  const int right_margin = HIWORD(SendMessageW(edit, EM_GETMARGINS, 0, 0));
  RECT client{};
  GetClientRect(edit, &client);
  // The last two characters are both "9": the last one is as wide as the one before.
  const int text_right = x3 + (x3 - x2);
  return text_right - (client.right - right_margin);
}

// The value of a key of the program's text table.
std::string TextTableValue(const std::string& key) {
  const std::string ini = ReadBytes(TextTablePath());
  const auto at = ini.find("\n" + key + "=");
  if (at == std::string::npos) return "";
  const auto from = at + key.size() + 2;
  return ini.substr(from, ini.find_first_of("\r\n", from) - from);
}

// The labels over the date lists show whole: each as large as its text in
// the text table's font, and clear of the group box of the lists below.
void ExpectDateLabelsWhole(HWND window) {
  HDC dc = GetDC(nullptr);
  const std::string face = TextTableValue("MODE_FONT");
  HFONT font = CreateFontW(
      -MulDiv(GetDeviceCaps(dc, LOGPIXELSY), std::stoi(TextTableValue("MODE_FONT_SIZE")), 720), 0,
      0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
      std::wstring(face.begin(), face.end()).c_str());
  HGDIOBJ before = SelectObject(dc, font);
  // The smallest group box around the lists.
  const RECT list = ItemRect(window, IDC_YEAR_LIST);
  RECT box{0, 0, 1 << 20, 1 << 20}, r{}, both{};
  for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t kind[16] = {};
    GetClassNameW(c, kind, 16);
    GetWindowRect(c, &r);
    if (lstrcmpiW(kind, L"Button") == 0 &&
        (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX &&
        IntersectRect(&both, &r, &list) && EqualRect(&both, &list) &&
        r.bottom - r.top < box.bottom - box.top) {
      box = r;
    }
  }
  for (int id : {IDC_LBL_YEAR, IDC_LBL_MONTH, IDC_LBL_DAY}) {
    const std::wstring text = ItemText(window, id);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    RECT client{};
    GetClientRect(GetDlgItem(window, id), &client);
    EXPECT_LE(size.cx, client.right) << id;
    EXPECT_LE(size.cy, client.bottom) << id;
    const RECT label = ItemRect(window, id);
    EXPECT_FALSE(IntersectRect(&both, &label, &box)) << id << ": painted over by the group box";
  }
  DeleteObject(SelectObject(dc, before));
  ReleaseDC(nullptr, dc);
}

TEST(ShippedTexts, TheYearListShowsTheWholeYear) {
  // The program folder holds the shipped Z4Utility.ini (copied by the runner).
  WithBoardWindow([](HWND window) {
    ASSERT_TRUE(WaitFor([&] { return ItemEnabled(window, IDC_SET); }, 20000));
    const int overflow = YearOverflow(window);
    EXPECT_LE(overflow, 0) << "the year is cut by " << overflow << " pixels";
    std::printf("year list: \"2999\" leaves %d pixels free\n", -overflow);
    // The date lists do not overlap.
    EXPECT_LE(ItemRect(window, IDC_YEAR_LIST).right, ItemRect(window, IDC_MONTH_LIST).left);
    EXPECT_LE(ItemRect(window, IDC_MONTH_LIST).right, ItemRect(window, IDC_DAY_LIST).left);
    ExpectDateLabelsWhole(window);
  });
}

// Process ids of running programs with this file name (any case).
std::vector<DWORD> ProcessesNamed(const wchar_t* name) {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, name) == 0) ids.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return ids;
}

TEST(HelpButton, StartsTheHelpViewerWithTheProgramsHelpFile) {
  ASSERT_NE(GetFileAttributesW((ProgramFolder() + L"\\utility.chm").c_str()),
            INVALID_FILE_ATTRIBUTES)
      << "the runner puts the help file beside the program";
  WithBoardWindow([](HWND window) {
    EXPECT_TRUE(ProcessesNamed(L"hh.exe").empty());
    RECT frame{};
    GetWindowRect(window, &frame);
    PostMessageW(window, WM_NCLBUTTONDOWN, HTHELP, MAKELPARAM(frame.right - 30, frame.top + 8));
    EXPECT_TRUE(WaitFor([] { return !ProcessesNamed(L"hh.exe").empty(); }, 15000))
        << "no help viewer started";
    for (DWORD id : ProcessesNamed(L"hh.exe")) {
      if (HANDLE viewer = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
        TerminateProcess(viewer, 0);
        CloseHandle(viewer);
      }
    }
    EXPECT_TRUE(IsWindowVisible(window)) << "the window stays";
  });
}

}  // namespace
}  // namespace z4::e2e
