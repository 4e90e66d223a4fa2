#include "platform/win32/dialog_template.h"

#include <cstring>

namespace z4::win32 {
namespace {

// Reads the template's little-endian words and strings, never past its end.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool ok() const { return ok_; }

  std::uint16_t Word() { return static_cast<std::uint16_t>(Bytes(2)); }
  std::uint32_t Dword() { return static_cast<std::uint32_t>(Bytes(4)); }

  // A zero-terminated UTF-16 string.
  std::wstring String() {
    std::wstring text;
    for (std::uint16_t c = Word(); ok_ && c != 0; c = Word())
      text.push_back(static_cast<wchar_t>(c));
    return text;
  }

  // A name that is either a number (0xFFFF, then the number), nothing (0) or
  // a string; the number goes to *number.
  std::wstring NameOrNumber(std::uint16_t* number) {
    *number = 0;
    if (!ok_ || at_ + 2 > size_) {
      ok_ = false;
      return {};
    }
    std::uint16_t first = 0;
    std::memcpy(&first, data_ + at_, 2);
    if (first == 0xFFFF) {
      at_ += 2;
      *number = Word();
      return {};
    }
    return String();
  }

  void Skip(std::size_t n) {
    if (at_ + n > size_) ok_ = false;
    at_ = ok_ ? at_ + n : size_;
  }

  void AlignTo4() { Skip((4 - at_ % 4) % 4); }

  std::vector<std::uint8_t> Take(std::size_t n) {
    if (at_ + n > size_) {
      ok_ = false;
      return {};
    }
    std::vector<std::uint8_t> out(data_ + at_, data_ + at_ + n);
    at_ += n;
    return out;
  }

 private:
  std::uint64_t Bytes(int n) {
    if (!ok_ || at_ + static_cast<std::size_t>(n) > size_) {
      ok_ = false;
      return 0;
    }
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= static_cast<std::uint64_t>(data_[at_ + i]) << (8 * i);
    at_ += static_cast<std::size_t>(n);
    return v;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

// The predefined control classes a template may name by number.
std::wstring ClassByNumber(std::uint16_t number) {
  switch (number) {
    case 0x0080:
      return L"Button";
    case 0x0081:
      return L"Edit";
    case 0x0082:
      return L"Static";
    case 0x0083:
      return L"ListBox";
    case 0x0084:
      return L"ScrollBar";
    case 0x0085:
      return L"ComboBox";
    default:
      return {};
  }
}

}  // namespace

std::vector<DialogItem> ParseDialogItems(const std::uint8_t* data, std::size_t size) {
  std::vector<DialogItem> items;
  Reader in(data, size);
  // Header: version 1 and the 0xFFFF mark of the extended form.
  if (in.Word() != 1 || in.Word() != 0xFFFF) return items;
  in.Skip(4 + 4);  // help id, extended style
  const std::uint32_t style = in.Dword();
  const std::uint16_t count = in.Word();
  in.Skip(4 * 2);  // x, y, cx, cy
  std::uint16_t number = 0;
  in.NameOrNumber(&number);  // menu
  in.NameOrNumber(&number);  // window class
  in.String();               // caption
  if (style & (DS_SETFONT | DS_SHELLFONT)) {
    in.Skip(2 + 2 + 1 + 1);  // point size, weight, italic, character set
    in.String();             // face name
  }
  for (std::uint16_t i = 0; i < count && in.ok(); ++i) {
    in.AlignTo4();
    DialogItem item;
    in.Skip(4);  // help id
    item.ex_style = in.Dword();
    item.style = in.Dword();
    item.x = static_cast<std::int16_t>(in.Word());
    item.y = static_cast<std::int16_t>(in.Word());
    item.cx = static_cast<std::int16_t>(in.Word());
    item.cy = static_cast<std::int16_t>(in.Word());
    item.id = static_cast<int>(in.Dword());
    std::uint16_t class_number = 0;
    item.window_class = in.NameOrNumber(&class_number);
    if (class_number != 0) item.window_class = ClassByNumber(class_number);
    item.title = in.NameOrNumber(&item.title_number);
    const std::uint16_t extra = in.Word();
    if (extra > 0) {
      item.creation_data = {static_cast<std::uint8_t>(extra & 0xFF),
                            static_cast<std::uint8_t>(extra >> 8)};
      const auto bytes = in.Take(extra);
      item.creation_data.insert(item.creation_data.end(), bytes.begin(), bytes.end());
    }
    if (!in.ok() || item.window_class.empty()) break;
    items.push_back(std::move(item));
  }
  return items;
}

int AddDialogResourceItems(HINSTANCE instance, int resource_id, HWND dialog, HFONT font) {
  HRSRC info = FindResourceW(instance, MAKEINTRESOURCEW(resource_id), RT_DIALOG);
  HGLOBAL loaded = info ? LoadResource(instance, info) : nullptr;
  const auto* data = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  if (!data) return 0;
  return AddDialogItems(ParseDialogItems(data, SizeofResource(instance, info)), instance, dialog,
                        font);
}

int AddDialogItems(const std::vector<DialogItem>& items, HINSTANCE instance, HWND dialog,
                   HFONT font) {
  int made = 0;
  for (const DialogItem& item : items) {
    // Each of the four mapped on its own, as the dialog manager does.
    RECT box{item.x, item.y, item.cx, item.cy};
    MapDialogRect(dialog, &box);
    std::wstring title = item.title;
    if (item.title_number != 0) title = {wchar_t{0xFFFF}, static_cast<wchar_t>(item.title_number)};
    // A new child goes after its siblings, so the added controls follow the
    // dialog's own in the tab order as they would in one resource.
    HWND control = CreateWindowExW(
        item.ex_style | WS_EX_NOPARENTNOTIFY, item.window_class.c_str(), title.c_str(),
        item.style | WS_CHILD, box.left, box.top, box.right, box.bottom, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance,
        item.creation_data.empty() ? nullptr
                                   : const_cast<std::uint8_t*>(item.creation_data.data()));
    if (!control) continue;
    if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ++made;
  }
  return made;
}

}  // namespace z4::win32
