// The seven user settings as the board keeps them, in the board's own terms:
// numbers for the three times and levels, the letters of the settings file
// for the switches.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace z4::sim {

struct Settings {
  int density = 75;            // percent, 70 to 90
  int ccfl_off_minutes = 30;   // lamp off time, 30 to 120
  int ccfl_stab_seconds = 20;  // lamp stabilisation time, 10 to 120
  char file_format = 'T';      // 'P' PNG, 'T' TIFF
  char setting = 'H';          // 'H' or 'V'
  std::string file_date = "2004/01/01 00:00:00";
  char image_move = 'N';  // 'N' or 'Y'
  // Lines "Key:value" of keys the utility does not edit, which the board
  // writes into its settings file besides the seven and keeps as its own: a
  // settings file it reads changes their values, never which keys it has.
  std::vector<std::string> extra_lines = DefaultExtraLines();

  static std::vector<std::string> DefaultExtraLines() { return {"Version:1.00"}; }

  bool operator==(const Settings& o) const {
    return density == o.density && ccfl_off_minutes == o.ccfl_off_minutes &&
           ccfl_stab_seconds == o.ccfl_stab_seconds && file_format == o.file_format &&
           setting == o.setting && file_date == o.file_date && image_move == o.image_move &&
           extra_lines == o.extra_lines;
  }
  bool operator!=(const Settings& o) const { return !(*this == o); }
};

// The keys, in the order the board writes them.
enum class Key {
  kDensity,
  kCcflOffTim,
  kCcflStabTim,
  kFileFormat,
  kSetting,
  kFileDate,
  kImageMove
};
constexpr std::array<Key, 7> kKeys = {Key::kDensity,    Key::kCcflOffTim, Key::kCcflStabTim,
                                      Key::kFileFormat, Key::kSetting,    Key::kFileDate,
                                      Key::kImageMove};

// "Density", "CCFLOffTim", ...: spelled exactly as in the files.
const char* KeyName(Key key);
// The key spelled exactly so (case matters); nullopt for any other name.
std::optional<Key> KeyNamed(std::string_view name);

// How strictly numbers are read. The board's settings file always carries the
// zero-padded width (two digits for Density, three for the lamp times); the
// state file, which people edit by hand, takes one digit up to that width.
enum class Width { kExact, kUpTo };

// Stores the value text in `settings` when it is valid for the key and returns
// true; otherwise leaves `settings` alone and returns false.
bool SetValue(Settings& settings, Key key, std::string_view text, Width width);

// The value as the board writes it: "75", "030", "T", the date text.
std::string ValueText(const Settings& settings, Key key);

// YYYY/MM/DD hh:mm:ss, a real calendar day of the years 2000 to 2999.
bool IsValidFileDate(std::string_view text);

}  // namespace z4::sim
