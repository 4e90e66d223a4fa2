// The layout of every window of the program, measured in the real windows at
// the scale of the run (Z4_E2E_DPI) and in the language of the text table
// beside the program: each text whole in its own font, each drop-down list
// showing its longest entry, nothing across the edge of a group box or frame,
// no text on such a line, every control inside its window.
#include <windows.h>

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace z4::e2e {
namespace {

// A font handle means nothing outside the process that made it, so the font of
// a control is asked in the program's own thread: a hook there answers this
// message by writing the control's LOGFONT into a block of the program's
// memory that this test reads. The system maps this test program into the
// program as the hook's module, but neither relocates nor links that copy, so
// the hook touches nothing of its own but code: the block holds the functions
// it calls (Wine's system DLLs lie at the same address in every process).
constexpr UINT kFontQuestion = WM_APP + 0x2A4;

struct FontQuestion {
  decltype(&SendMessageW) send;
  decltype(&GetStockObject) stock;
  decltype(&GetObjectW) describe;
  LOGFONTW answer;
};

LRESULT CALLBACK AnswerFont(int code, WPARAM, LPARAM lparam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code != HC_ACTION || sent->message != kFontQuestion || !sent->lParam) return 0;
  auto* q = reinterpret_cast<FontQuestion*>(sent->lParam);
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(q->send(sent->hwnd, WM_GETFONT, 0, 0));
  // A control without a font of its own draws with the system font.
  q->describe(font ? font : q->stock(SYSTEM_FONT), sizeof(LOGFONTW), &q->answer);
  return 0;
}

// The fonts of one window's controls, made again in this process.
class Fonts {
 public:
  explicit Fonts(HWND window) {
    DWORD id = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &id);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
    block_ = VirtualAllocEx(process_, nullptr, sizeof(FontQuestion), MEM_COMMIT, PAGE_READWRITE);
    const FontQuestion q{&SendMessageW, &GetStockObject, &GetObjectW, {}};
    WriteProcessMemory(process_, block_, &q, sizeof q, nullptr);
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &AnswerFont, GetModuleHandleW(nullptr), thread);
  }
  ~Fonts() {
    UnhookWindowsHookEx(hook_);
    for (HFONT font : made_) DeleteObject(font);
    VirtualFreeEx(process_, block_, 0, MEM_RELEASE);
    CloseHandle(process_);
  }
  // nullptr when the program did not answer.
  HFONT Of(HWND control) {
    const LOGFONTW none{};
    LOGFONTW font{};
    auto* answer = &static_cast<FontQuestion*>(block_)->answer;
    DWORD_PTR ignored = 0;
    if (!WriteProcessMemory(process_, answer, &none, sizeof none, nullptr) ||
        !SendMessageTimeoutW(control, kFontQuestion, 0, reinterpret_cast<LPARAM>(block_),
                             SMTO_NORMAL, 5000, &ignored) ||
        !ReadProcessMemory(process_, answer, &font, sizeof font, nullptr) || !font.lfFaceName[0]) {
      return nullptr;
    }
    made_.push_back(CreateFontIndirectW(&font));
    return made_.back();
  }

 private:
  HANDLE process_ = nullptr;
  void* block_ = nullptr;
  HHOOK hook_ = nullptr;
  std::vector<HFONT> made_;
};

// What a text takes in a font, laid out by DrawText with `flags` in `width` pixels.
SIZE Extent(HFONT font, const wchar_t* text, UINT flags, int width = 0) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ before = SelectObject(dc, font);
  RECT r{0, 0, width, 0};
  DrawTextW(dc, text, -1, &r, flags | DT_CALCRECT);
  SelectObject(dc, before);
  ReleaseDC(nullptr, dc);
  return {r.right, r.bottom};
}

RECT OnScreen(HWND window, bool client) {
  RECT r{};
  if (!client) return GetWindowRect(window, &r), r;
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool Holds(const RECT& outer, RECT inner, int slack = 0) {
  InflateRect(&inner, -slack, -slack);
  RECT both{};
  return IntersectRect(&both, &outer, &inner) && EqualRect(&both, &inner);
}

// A control as the checks see it, in screen pixels.
struct Item {
  std::wstring name;
  RECT rect{};
  int line = 0;  // a group box or frame: the width of its lines around `frame`
  RECT frame{};
  RECT room{};  // where its text may go, what it needs and where it goes
  SIZE need{};
  RECT text{};
};

Item Measure(HWND c, Fonts& fonts, const RECT& client, int dpi) {
  Item it{L"", OnScreen(c, false)};
  wchar_t kind[32] = {}, name[400];
  GetClassNameW(c, kind, 32);
  const std::wstring text = Text(c), cls = kind;
  std::swprintf(name, 400, L"%ls %d \"%ls\" (%ld,%ld %ldx%ld px)", kind, GetDlgCtrlID(c),
                text.c_str(), it.rect.left - client.left, it.rect.top - client.top,
                it.rect.right - it.rect.left, it.rect.bottom - it.rect.top);
  it.name = name;
  const bool texts = cls == L"Static" || cls == L"Button";
  HFONT font = texts || cls == L"ComboBox" ? fonts.Of(c) : nullptr;
  if (!font) return it.name += texts ? L": no font" : L"", it;
  const LONG style = GetWindowLongW(c, GWL_STYLE);
  UINT flags = DT_SINGLELINE | DT_EXPANDTABS, align = DT_LEFT;
  bool centred = true;
  it.room = OnScreen(c, true);
  if (cls == L"Button") {
    const LONG type = style & BS_TYPEMASK;
    if (type == BS_GROUPBOX) {  // its line where the box draws it
      it.line = 2, it.frame = it.rect, it.frame.top += Extent(font, L"0", flags).cy / 2 - 1;
      InflateRect(&it.room, -8, 0), centred = false;
    } else if (type <= BS_DEFPUSHBUTTON || type == BS_PUSHBOX) {
      InflateRect(&it.room, -2, -2), align = DT_CENTER;  // inside the button's edge
    } else {
      // The square (13 px at 96 dpi), half a digit between it and the text,
      // and a pixel on the right for the focus rectangle.
      it.room.left += MulDiv(13, dpi, 96) + Extent(font, L"0", flags).cx / 2, it.room.right--;
    }
  } else if (cls == L"Static") {
    const LONG type = style & SS_TYPEMASK;
    if (type >= SS_BLACKFRAME && type <= SS_WHITEFRAME) it.line = 1, it.frame = it.rect;
    if (type == SS_ETCHEDFRAME) it.line = 2, it.frame = it.rect;
    if (type > SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP) return it;
    if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
    if (type <= SS_RIGHT && !(style & SS_CENTERIMAGE)) flags ^= DT_SINGLELINE | DT_WORDBREAK;
    align = type == SS_CENTER ? DT_CENTER : type == SS_RIGHT ? DT_RIGHT : DT_LEFT;
    centred = style & SS_CENTERIMAGE;
  } else {  // a drop-down list: its edit field and its widest entry
    HWND edit = FindWindowExW(c, nullptr, L"Edit", nullptr);
    if (!edit) return it.name += L": no edit field", it.room = {}, it;
    it.room = OnScreen(edit, true);
    const DWORD margins = static_cast<DWORD>(SendMessageW(edit, EM_GETMARGINS, 0, 0));
    it.room.left += LOWORD(margins), it.room.right -= HIWORD(margins);
    wchar_t entry[64];
    for (int i = 0; SendMessageW(c, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry)) > 0; ++i) {
      const SIZE s = Extent(font, entry, flags);
      if (s.cx > it.need.cx) it.need = s;
    }
    return it;
  }
  if (text.empty()) return it.room = {}, it;
  it.need = Extent(font, text.c_str(), flags, it.room.right - it.room.left);
  const LONG spare = it.room.right - it.room.left - it.need.cx;
  const LONG x = it.room.left + (align == DT_CENTER ? spare / 2 : align == DT_RIGHT ? spare : 0);
  const LONG y = it.room.top + (centred ? (it.room.bottom - it.room.top - it.need.cy) / 2 : 0);
  it.text = {x, y, x + it.need.cx, y + it.need.cy};
  return it;
}

struct Scene {
  int dpi;
  bool japanese;
};

// Every visible control of `window`; with `cut`, those wholly right of its
// client area (the maintenance panel, out of sight in user mode) are left out.
void CheckWindow(const Scene& run, const char* window_name, HWND window, bool cut = false) {
  const RECT client = OnScreen(window, true);
  std::vector<Item> items;
  {
    Fonts fonts(window);
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (IsWindowVisible(c) && !(cut && OnScreen(c, false).left >= client.right)) {
        items.push_back(Measure(c, fonts, client, run.dpi));
      }
    }
  }
  const auto where = [&] {
    return ::testing::Message() << window_name << " at " << run.dpi << " dpi ("
                                << run.dpi * 100 / 96 << " %), "
                                << (run.japanese ? "Japanese" : "English") << ": ";
  };
  constexpr int kSlack = 2;  // what rounding dialog units to pixels may give
  for (const Item& c : items) {
    if (c.name.find(L": no ") != std::wstring::npos) ADD_FAILURE() << where() << c.name;
    const LONG width = c.room.right - c.room.left, height = c.room.bottom - c.room.top;
    if (c.need.cx > width || c.need.cy > height) {
      ADD_FAILURE() << where() << c.name << ": text cut, it needs " << c.need.cx << "x" << c.need.cy
                    << " px and has " << width << "x" << height;
    }
    if (!Holds(client, c.rect)) ADD_FAILURE() << where() << c.name << ": outside the client area";
    for (const Item& box : items) {
      if (!box.line || &box == &c || Holds(c.rect, box.rect)) continue;
      RECT both{}, text = c.text;
      if (IntersectRect(&both, &c.rect, &box.rect) && !Holds(box.rect, c.rect, kSlack) &&
          both.right - both.left > kSlack && both.bottom - both.top > kSlack) {
        ADD_FAILURE() << where() << c.name << " runs " << both.right - both.left << "x"
                      << both.bottom - both.top << " px into " << box.name;
      }
      const RECT& f = box.frame;
      const int w = box.line;
      InflateRect(&text, 1, 1);
      for (const RECT& edge :
           {RECT{f.left, f.top, f.right, f.top + w}, RECT{f.left, f.bottom - w, f.right, f.bottom},
            RECT{f.left, f.top, f.left + w, f.bottom},
            RECT{f.right - w, f.top, f.right, f.bottom}}) {
        if (!IsRectEmpty(&c.text) && IntersectRect(&both, &text, &edge)) {
          ADD_FAILURE() << where() << "the text of " << c.name << " touches a line of " << box.name;
          break;
        }
      }
    }
  }
}

// A picture of the window for people, which the runner keeps as
// layout-<percent>-<mode>[-japanese].png in its work folder.
void Picture(const Scene& run, HWND window, const char* mode) {
  const std::wstring request = Env(L"Z4_E2E_SHOT");
  if (request.empty()) return;
  const RECT r = OnScreen(window, false);
  char line[128];
  std::snprintf(line, sizeof line, "layout-%d-%s%s %ldx%ld+%ld+%ld\n", run.dpi * 100 / 96, mode,
                run.japanese ? "-japanese" : "", r.right - r.left, r.bottom - r.top, r.left, r.top);
  WriteBytes(request, line);
  WaitFor([&] { return GetFileAttributesW(request.c_str()) == INVALID_FILE_ATTRIBUTES; }, 10000);
}

// The main window with its value labels at their widest: each trackbar at its far end.
void CheckMainWindow(const Scene& run, HWND main, const char* mode, bool cut) {
  for (int id : {IDC_OFFTIME_TRACKBAR, IDC_STABTIME_TRACKBAR, IDC_DENSITY_TRACKBAR}) {
    DragTrackbar(main, id, static_cast<int>(SendDlgItemMessageW(main, id, TBM_GETRANGEMAX, 0, 0)));
  }
  CheckWindow(run, (std::string("main window, ") + mode).c_str(), main, cut);
  Picture(run, main, mode);
}

void Tick(HWND dialog, int id, bool checked) {
  SendDlgItemMessageW(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

TEST(Layout, EveryWindowAtThisScaleInThisLanguage) {
  // The program is DPI aware; so is this test, or the system would scale what it measures.
  using Aware = BOOL(WINAPI*)();
  if (auto aware = reinterpret_cast<Aware>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"user32"), "SetProcessDPIAware")))) {
    aware();
  }
  const std::string texts = ReadBytes(ProgramFolder() + L"\\Z4Utility.ini");
  const Scene run{std::stoi(Env(L"Z4_E2E_DPI", L"96")),
                  texts.find("\nLANGUAGE=JAPAN") != std::string::npos};
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(dpi, run.dpi) << "the programs of the prefix do not see its LogPixels";
  ASSERT_TRUE(RegisterBoardNt(L'E'));
  {
    // User mode, with a board that ends its job late: the status window stays up.
    EmulatedBoard board;
    ASSERT_TRUE(board.Start("", L"--delay 1000"));
    Process utility;
    ASSERT_TRUE(utility.Start(ProgramPath()));
    HWND status = WaitDialogWithControl(utility.Id(), IDC_STATUS_MESSAGE, 15000);
    ASSERT_NE(status, nullptr) << "no status window";
    CheckWindow(run, "status window", status);
    HWND main = WaitMainWindowOpened(utility.Id(), 15000);
    ASSERT_TRUE(main && WaitFor([&] { return ItemEnabled(main, IDC_SET); }, 20000));
    CheckMainWindow(run, main, "user", true);
  }
  EmulatedBoard board;
  ASSERT_TRUE(board.Start("FileFormat=P\n"));
  Process utility;
  ASSERT_TRUE(utility.Start(ProgramPath(), L"/adjust"));
  HWND main = WaitMainWindowOpened(utility.Id(), 15000);
  ASSERT_TRUE(main && WaitFor([&] { return ItemEnabled(main, IDC_EXECUTE); }, 30000));
  CheckMainWindow(run, main, "adjust", false);

  Tick(main, IDC_ITEM_WAVE, true);
  Click(main, IDC_EXECUTE);
  HWND graph = WaitDialogWithControl(utility.Id(), IDC_GRAPH_FRAME, 30000);
  ASSERT_TRUE(graph && WaitFor([&] { return !ItemText(graph, IDC_SAMPLE_AXIS_10).empty(); }, 10000))
      << "no graph with its axis labels";
  CheckWindow(run, "CCD level graph", graph);
  Click(graph, IDC_GRAPH_END);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(graph) && ItemEnabled(main, IDC_EXECUTE); }, 10000));

  Tick(main, IDC_ITEM_WAVE, false);
  Tick(main, IDC_ITEM_KIBAN, true);
  TypeText(main, IDC_NUMBER, L"1234");
  Click(main, IDC_EXECUTE);
  HWND kiban = WaitDialogWithControl(utility.Id(), IDC_KIBAN_DISPLAY, 15000);
  ASSERT_TRUE(kiban && WaitFor([&] { return ItemEnabled(kiban, IDC_KIBAN_OK); }, 30000))
      << "no board inspection with an image";
  CheckWindow(run, "board inspection", kiban);
  Click(kiban, IDC_KIBAN_OK);
  HWND names = WaitDialogWithControl(utility.Id(), IDC_FILENAME_SET, 10000);
  ASSERT_NE(names, nullptr) << "no file name dialog";
  CheckWindow(run, "file name dialog", names);
}  // the program and the board end with their processes

}  // namespace
}  // namespace z4::e2e
