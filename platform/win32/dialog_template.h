// The controls of a dialog resource in the extended form that DIALOGEX
// statements compile to, read apart from any window, and added to a dialog
// that is already open as the dialog manager would have made them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace z4::win32 {

struct DialogItem {
  std::uint32_t ex_style = 0;
  std::uint32_t style = 0;
  // Position and size in dialog units.
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;
  // The window class; the predefined classes given by number get their names.
  std::wstring window_class;
  // The text, or a resource number (an icon's) when `title_number` is not 0.
  std::wstring title;
  std::uint16_t title_number = 0;
  // The creation data: its size word followed by the bytes; empty when none.
  std::vector<std::uint8_t> creation_data;
};

// The items of an extended dialog template, in order. A template of the older
// form, or one cut short, gives the items read before the fault.
std::vector<DialogItem> ParseDialogItems(const std::uint8_t* data, std::size_t size);

// Creates the items as controls of `dialog`, after its own controls and in
// `font` (that of its own, given when they were made), positioned in its
// dialog units. Returns how many were made.
int AddDialogItems(const std::vector<DialogItem>& items, HINSTANCE instance, HWND dialog,
                   HFONT font);

// The same with the items of the dialog resource `resource_id`.
int AddDialogResourceItems(HINSTANCE instance, int resource_id, HWND dialog, HFONT font);

}  // namespace z4::win32
