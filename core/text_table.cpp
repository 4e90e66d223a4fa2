#include "core/text_table.h"

#include "core/decimal.h"
#include "core/program_folder.h"
#include "core/shared_state.h"
#include "platform/file_system.h"
#include "platform/system.h"

namespace z4 {
namespace {

constexpr std::array<std::string_view, kTextKeyCount> kKeyNames = {"CONF_DIALOG",
                                                                   "SLIDER_MIN",
                                                                   "SLIDER_SECOND",
                                                                   "LBL_BOARD",
                                                                   "LBL_FILEDATE",
                                                                   "LBL_FORMAT",
                                                                   "LBL_OFFTIME",
                                                                   "LBL_STABTIME",
                                                                   "LBL_ADJUST",
                                                                   "LBL_EXTENSION",
                                                                   "RADIO_BOARD_1",
                                                                   "RADIO_BOARD_2",
                                                                   "RADIO_EXT_1",
                                                                   "RADIO_EXT_2",
                                                                   "LBL_FILE_YEAR",
                                                                   "LBL_FILE_MONTH",
                                                                   "LBL_FILE_DAY",
                                                                   "RADIO_FILE_1",
                                                                   "RADIO_FILE_2",
                                                                   "BUTTON_SET",
                                                                   "BUTTON_CANSEL",
                                                                   "ERROR_USB_INITIALIZE",
                                                                   "ERROR_USB_WRITE_JAPAN",
                                                                   "ERROR_USB_STOP_JAPAN",
                                                                   "ERROR_USB_CAPTION_JAPAN",
                                                                   "MODE_FONT",
                                                                   "USB_INI_DIALOG",
                                                                   "USB_INI_FILE_READ",
                                                                   "USB_INI_FILE_WRITE",
                                                                   "LVL_SHADE_THIN",
                                                                   "LVL_SHADE_DEEP"};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// A text table is a few kilobytes; a file of megabytes is not one, and is
// treated as missing rather than read whole.
constexpr std::size_t kTextTableFileLimit = 4 * 1024 * 1024;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

void ApplyMissingFileDefaults(TextTable& table) {
  SharedState::SetLanguageFlag(1);
  table = TextTable{};
  table.SetText(TextKey::MODE_FONT, "MS Sans Serif");
  table.SetFontSize(80);
}

void ApplyLine(std::string_view line, bool utf8, System& system, TextTable& table) {
  // A line is read as a C string would hold it: a NUL byte ends it.
  line = line.substr(0, line.find('\0'));
  const auto eq = line.find('=');
  // Without "=" the key is empty and matches nothing.
  if (eq == std::string_view::npos) return;
  const std::string_view key = Trim(line.substr(0, eq));
  const std::string_view value = Trim(line.substr(eq + 1));

  if (key == "LANGUAGE") {
    SharedState::SetLanguageFlag(value == "JAPAN" ? 0 : 1);
    return;
  }
  if (key == "MODE_FONT_SIZE") {
    table.SetFontSize(ParseDecimal(value));
    return;
  }
  for (std::size_t i = 0; i < kTextKeyCount; ++i) {
    if (key == kKeyNames[i]) {
      table.SetText(static_cast<TextKey>(i), utf8 ? std::string(value) : system.AnsiToUtf8(value));
      return;
    }
  }
}

}  // namespace

std::string_view TextKeyName(TextKey key) {
  return kKeyNames[static_cast<std::size_t>(key)];
}

void ParseTextTable(std::string_view bytes, System& system, TextTable& table) {
  table = TextTable{};
  SharedState::SetLanguageFlag(0);
  const bool utf8 = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  if (utf8) bytes.remove_prefix(kUtf8Bom.size());
  while (!bytes.empty()) {
    const auto lf = bytes.find('\n');
    std::string_view line = bytes.substr(0, lf);
    // CR LF is one line end.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ApplyLine(line, utf8, system, table);
    if (lf == std::string_view::npos) break;
    bytes.remove_prefix(lf + 1);
  }
}

void LoadTextTable(FileSystem& files, System& system, TextTable& table) {
  const std::string path = GetProgramFolder(system) + "\\Z4Utility.ini";
  // A file that can be read counts, read-only as it is where the user may not
  // write (under Program Files, copied from a CD): it is opened for reading,
  // sharing reads. One that someone holds open for writing, or that is
  // absent, counts as missing.
  const auto bytes = files.ReadFile(path, kTextTableFileLimit);
  if (!bytes) {
    ApplyMissingFileDefaults(table);
    return;
  }
  ParseTextTable(*bytes, system, table);
}

}  // namespace z4
