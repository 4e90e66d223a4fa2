// A dialog template's controls read apart from a window, and added to a
// dialog that is already open as if its own resource had held them.
#include <windows.h>

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/win32/dialog_template.h"

namespace z4::win32 {
namespace {

// Writes an extended dialog template the way the resource compiler does.
class TemplateWriter {
 public:
  // The header of a dialog with `count` items in 8-point "MS Shell Dlg".
  TemplateWriter(std::uint16_t count, std::uint32_t style = DS_SETFONT | WS_POPUP | WS_CAPTION) {
    Word(1);
    Word(0xFFFF);
    Dword(0);  // help id
    Dword(0);  // extended style
    Dword(style);
    Word(count);
    for (int i = 0; i < 4; ++i) Word(i < 2 ? 0 : 200);  // x, y, cx, cy
    Word(0);                                            // no menu
    Word(0);                                            // the dialog class
    String(L"caption");
    if (style & DS_SETFONT) {
      Word(8);
      Word(0);
      bytes_.push_back(0);  // italic
      bytes_.push_back(1);  // character set
      String(L"MS Shell Dlg");
    }
  }

  struct Item {
    std::uint32_t style;
    std::int16_t x, y, cx, cy;
    std::uint32_t id;
    std::uint16_t class_number;  // 0: class_name is written instead
    std::wstring class_name;
    std::wstring title;
    std::uint16_t title_number = 0;  // not 0: written in place of the title
    std::vector<std::uint8_t> data = {};
  };

  TemplateWriter& Add(const Item& item) {
    while (bytes_.size() % 4) bytes_.push_back(0);
    Dword(0);
    Dword(0);
    Dword(item.style);
    for (std::int16_t v : {item.x, item.y, item.cx, item.cy}) Word(static_cast<std::uint16_t>(v));
    Dword(item.id);
    if (item.class_number) {
      Word(0xFFFF);
      Word(item.class_number);
    } else {
      String(item.class_name);
    }
    if (item.title_number) {
      Word(0xFFFF);
      Word(item.title_number);
    } else {
      String(item.title);
    }
    Word(static_cast<std::uint16_t>(item.data.size()));
    bytes_.insert(bytes_.end(), item.data.begin(), item.data.end());
    return *this;
  }

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  void Word(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void Dword(std::uint32_t v) {
    Word(static_cast<std::uint16_t>(v));
    Word(static_cast<std::uint16_t>(v >> 16));
  }
  void String(const std::wstring& s) {
    for (wchar_t c : s) Word(static_cast<std::uint16_t>(c));
    Word(0);
  }
  std::vector<std::uint8_t> bytes_;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

TEST(DialogTemplateTest, ItemsOfEveryFormInOrder) {
  TemplateWriter t(4);
  t.Add({kChild | BS_AUTOCHECKBOX | WS_DISABLED, 193, 15, 90, 10, 1088, 0x0080, L"", L"CCD"})
      .Add({kChild | ES_RIGHT, 212, 148, 48, 12, 1103, 0x0081, L"", L""})
      .Add({kChild, 58, 84, 92, 12, 1064, 0, L"msctls_trackbar32", L"", 0, {7, 8, 9}})
      .Add({kChild | SS_ICON, 4, 4, 20, 20, 1200, 0x0082, L"", L"", 128});
  const auto items = ParseDialogItems(t.bytes().data(), t.bytes().size());
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].window_class, L"Button");
  EXPECT_EQ(items[0].title, L"CCD");
  EXPECT_EQ(items[0].id, 1088);
  EXPECT_EQ(items[0].style, kChild | BS_AUTOCHECKBOX | WS_DISABLED);
  EXPECT_EQ(items[0].x, 193);
  EXPECT_EQ(items[0].cy, 10);
  EXPECT_EQ(items[1].window_class, L"Edit");
  EXPECT_EQ(items[2].window_class, L"msctls_trackbar32");
  // The creation data keeps its size word in front, as the control receives it.
  EXPECT_EQ(items[2].creation_data, (std::vector<std::uint8_t>{3, 0, 7, 8, 9}));
  EXPECT_EQ(items[3].window_class, L"Static");
  EXPECT_EQ(items[3].title_number, 128);
  EXPECT_TRUE(items[3].title.empty());
}

TEST(DialogTemplateTest, ATemplateCutShortGivesTheItemsBeforeTheCut) {
  TemplateWriter t(2, WS_POPUP);  // no font in the header
  t.Add({kChild, 1, 2, 3, 4, 10, 0x0080, L"", L"first"});
  const size_t first_end = t.bytes().size();
  t.Add({kChild, 1, 2, 3, 4, 11, 0x0080, L"", L"second"});
  EXPECT_EQ(ParseDialogItems(t.bytes().data(), t.bytes().size()).size(), 2u);
  for (size_t cut : {t.bytes().size() - 1, first_end + 6, first_end}) {
    EXPECT_EQ(ParseDialogItems(t.bytes().data(), cut).size(), 1u) << cut;
  }
  EXPECT_TRUE(ParseDialogItems(t.bytes().data(), 20).empty());
  // The older template form (no 0xFFFF mark after the version) is not read.
  std::vector<std::uint8_t> old = t.bytes();
  old[2] = 0;
  old[3] = 0;
  EXPECT_TRUE(ParseDialogItems(old.data(), old.size()).empty());
}

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

TEST(DialogTemplateTest, AddedControlsAreWhatTheDialogManagerWouldHaveMade) {
  // A dialog with one control of its own; then two more added from another
  // template, as the main window adds its maintenance panel.
  TemplateWriter own(1);
  own.Add({kChild | BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 40, 12, 100, 0x0080, L"", L"own"});
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                           reinterpret_cast<LPCDLGTEMPLATEW>(own.bytes().data()),
                                           nullptr, &Quiet, 0);
  ASSERT_NE(dialog, nullptr);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));

  TemplateWriter added(2);
  added
      .Add({kChild | BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED, 193, 15, 90, 10, 1088, 0x0080, L"",
            L"CCD"})
      .Add({kChild | ES_RIGHT | WS_TABSTOP, 212, 148, 48, 12, 1103, 0x0081, L"", L"7"});
  const auto items = ParseDialogItems(added.bytes().data(), added.bytes().size());
  EXPECT_EQ(AddDialogItems(items, GetModuleHandleW(nullptr), dialog, font), 2);

  HWND check = GetDlgItem(dialog, 1088);
  HWND number = GetDlgItem(dialog, 1103);
  ASSERT_NE(check, nullptr);
  ASSERT_NE(number, nullptr);
  wchar_t text[16] = {};
  GetWindowTextW(check, text, 16);
  EXPECT_STREQ(text, L"CCD");
  EXPECT_FALSE(IsWindowEnabled(check));
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(check, WM_GETFONT, 0, 0)), font);
  EXPECT_EQ(GetWindowLongW(number, GWL_STYLE) & ES_RIGHT, ES_RIGHT);

  // Placed in the dialog's units: x, y, width and height each mapped.
  RECT units{212, 148, 48, 12};
  MapDialogRect(dialog, &units);
  RECT r{};
  GetWindowRect(number, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, units.left);
  EXPECT_EQ(r.top, units.top);
  EXPECT_EQ(r.right - r.left, units.right);
  EXPECT_EQ(r.bottom - r.top, units.bottom);

  // After the dialog's own control, in template order: the tab order follows.
  HWND first = GetWindow(dialog, GW_CHILD);
  EXPECT_EQ(GetDlgCtrlID(first), 100);
  EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), check);
  EXPECT_EQ(GetWindow(check, GW_HWNDNEXT), number);
  EXPECT_EQ(GetNextDlgTabItem(dialog, GetDlgItem(dialog, 100), FALSE), number)
      << "the disabled check box is passed over";
  DestroyWindow(dialog);
}

}  // namespace
}  // namespace z4::win32
