// The texts and font of the settings panel, the device error messages and the
// status window, loaded once from "Z4Utility.ini" beside the program.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace z4 {

class FileSystem;
class System;

// The text slots, in the order a line's key is compared (after LANGUAGE).
enum class TextKey {
  CONF_DIALOG,
  SLIDER_MIN,
  SLIDER_SECOND,
  LBL_BOARD,
  LBL_FILEDATE,
  LBL_FORMAT,
  LBL_OFFTIME,
  LBL_STABTIME,
  LBL_ADJUST,
  LBL_EXTENSION,
  RADIO_BOARD_1,
  RADIO_BOARD_2,
  RADIO_EXT_1,
  RADIO_EXT_2,
  LBL_FILE_YEAR,
  LBL_FILE_MONTH,
  LBL_FILE_DAY,
  RADIO_FILE_1,
  RADIO_FILE_2,
  BUTTON_SET,
  BUTTON_CANSEL,
  ERROR_USB_INITIALIZE,
  ERROR_USB_WRITE_JAPAN,
  ERROR_USB_STOP_JAPAN,
  ERROR_USB_CAPTION_JAPAN,
  MODE_FONT,
  // MODE_FONT_SIZE is a number and has a slot of its own.
  USB_INI_DIALOG,
  USB_INI_FILE_READ,
  USB_INI_FILE_WRITE,
  LVL_SHADE_THIN,
  LVL_SHADE_DEEP,
  Count
};

constexpr std::size_t kTextKeyCount = static_cast<std::size_t>(TextKey::Count);

// The key as it is spelled in the file.
std::string_view TextKeyName(TextKey key);

class TextTable {
 public:
  // Texts are UTF-8, converted from the file's code page when loaded.
  const std::string& Text(TextKey key) const { return texts_[static_cast<std::size_t>(key)]; }
  void SetText(TextKey key, std::string value) {
    texts_[static_cast<std::size_t>(key)] = std::move(value);
  }
  // Font size in tenths of a point; -1 when the file's value was not a number.
  int FontSize() const { return font_size_; }
  void SetFontSize(int tenths) { font_size_ = tenths; }
  const std::string& FontFace() const { return Text(TextKey::MODE_FONT); }

 private:
  std::array<std::string, kTextKeyCount> texts_{};
  int font_size_ = 0;
};

// Fills the table from the program folder's "Z4Utility.ini" and sets
// LanguageFlag. A file that is absent, read-only or locked gives empty texts,
// "MS Sans Serif" at 8 points and English built-in texts.
void LoadTextTable(FileSystem& files, System& system, TextTable& table);

// The same for bytes already read. Values are in the system's ANSI code page
// and converted to UTF-8, unless the bytes start with a UTF-8 byte-order mark.
void ParseTextTable(std::string_view bytes, System& system, TextTable& table);

}  // namespace z4
