// Dialog initialisation data: the list entries a dialog resource gives its
// combo and list boxes (resource type 240, as resource editors write it).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace z4::win32 {

struct DialogInitEntry {
  int control_id = 0;
  bool combo = false;  // a combo box entry; otherwise a list box entry
  std::string text;    // in the system's ANSI code page, up to its first zero
};

// The entries of the data: WORD control id, WORD message, DWORD length, the
// text; a zero id or data cut short ends the list. Entries of other messages
// are left out.
std::vector<DialogInitEntry> ParseDialogInitData(const std::uint8_t* data, std::size_t size);

// Adds the entries of the dialog resource's initialisation data, if it has
// any, to the dialog's controls.
void AddDialogInitEntries(HINSTANCE instance, int resource_id, HWND dialog);

}  // namespace z4::win32
