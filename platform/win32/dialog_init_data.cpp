#include "platform/win32/dialog_init_data.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/unicode.h"

namespace z4::win32 {
namespace {

constexpr WORD kDialogInitType = 240;
// The list messages of the data, in the 16-bit numbering that resource
// editors write, besides the current ones.
constexpr WORD kOldListAddString = 0x0401;
constexpr WORD kOldComboAddString = 0x0403;

}  // namespace

std::vector<DialogInitEntry> ParseDialogInitData(const std::uint8_t* data, std::size_t size) {
  std::vector<DialogInitEntry> entries;
  std::size_t at = 0;
  while (at + 8 <= size) {
    WORD id = 0, message = 0;
    DWORD length = 0;
    std::memcpy(&id, data + at, 2);
    if (id == 0) break;
    std::memcpy(&message, data + at + 2, 2);
    std::memcpy(&length, data + at + 4, 4);
    at += 8;
    if (length > size - at) break;
    std::string text(reinterpret_cast<const char*>(data + at), length);
    text.resize(std::min(text.size(), text.find('\0')));
    at += length;
    const bool combo = message == kOldComboAddString || message == CB_ADDSTRING;
    const bool list = message == kOldListAddString || message == LB_ADDSTRING;
    if (combo || list) entries.push_back(DialogInitEntry{id, combo, std::move(text)});
  }
  return entries;
}

void AddDialogInitEntries(HINSTANCE instance, int resource_id, HWND dialog) {
  HRSRC info =
      FindResourceW(instance, MAKEINTRESOURCEW(resource_id), MAKEINTRESOURCEW(kDialogInitType));
  if (!info) return;
  HGLOBAL loaded = LoadResource(instance, info);
  const auto* data = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  if (!data) return;
  for (const DialogInitEntry& entry : ParseDialogInitData(data, SizeofResource(instance, info))) {
    const std::wstring wide = Widen(AnsiToUtf8(entry.text));
    SendDlgItemMessageW(dialog, entry.control_id, entry.combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(wide.c_str()));
  }
}

}  // namespace z4::win32
