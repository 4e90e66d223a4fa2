// The format of the board's settings file "Z4.INI": what a file's bytes hold,
// and the bytes of a file rewritten with new values, the rest of it kept.
//
// The file is single-byte text, one "Key:value" per line. A line ends at LF; a
// CR before it is white space. ";" starts a comment. A line is a settings line
// when, trimmed of spaces, tabs and CR, it begins with one of the seven keys
// followed at once by ":". Within a file the first line of a key whose value is
// valid wins.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings_record.h"

namespace z4 {

// The keys in file order: the order in which lines are matched and appended.
enum SettingsKey : int {
  kKeyDensity = 0,
  kKeyCCFLOffTim = 1,
  kKeyCCFLStabTim = 2,
  kKeyFileFormat = 3,
  kKeySetting = 4,
  kKeyFileDate = 5,
  kKeyImageMove = 6,
};
inline constexpr int kSettingsKeyCount = 7;

// The key's text, or nullptr for a number that is not a key.
const char* SettingsKeyName(int key);

// What one file has supplied so far. A key, once accepted, is no longer
// considered by later lines of the same file.
struct AcceptedValues {
  std::array<bool, kSettingsKeyCount> accepted{};
  std::array<int, kSettingsKeyCount> number{};  // every key but FileDate
  std::string fileDate;

  void Clear() { *this = AcceptedValues{}; }
  // Copies every accepted value into the record; the others stay.
  void ApplyTo(SettingsRecord& record) const;
};

// Density 75, lamp-off 30, stabilisation 20, TIFF, H, 2004/01/01 00:00:00, N.
SettingsRecord BuiltInSettings();

// Text to value for the numeric keys; -1 (accepted by no key) when the text is
// not one of the key's forms.
int ValueFromText(std::string_view text, int key);
// Value to its written form; the empty text for a value the key has no form
// for, and for FileDate, which is written as its text.
std::string ValueToText(int value, int key);
// A field of the record in its written form: ValueToText, or FileDate's text.
std::string RecordValueText(const SettingsRecord& record, int key);
// "YYYY/MM/DD hh:mm:ss", years 2000 to 2999, a real calendar day.
bool IsValidFileDate(std::string_view text);

// Takes the value of one line (without its LF) into `accepted`.
void ParseSettingsLine(std::string_view line, AcceptedValues& accepted);
// The line with its value replaced by the record's when it is the first line
// of a key not yet accepted; every other line comes back unchanged. The
// rewritten line keeps its leading white space and key; what followed the
// first ":" (old value, comment, CR) is gone.
std::string RewriteSettingsLine(std::string_view line, const SettingsRecord& record,
                                AcceptedValues& accepted);

// The key a line names and its value text, recognised as ParseSettingsLine
// recognises a settings line, whether or not the value is valid; nullopt for
// any other line.
struct SettingsLineKey {
  int key;
  std::string_view value;
};
std::optional<SettingsLineKey> ReadSettingsLineKey(std::string_view line);

// Every line of a file's bytes through ParseSettingsLine.
void ParseSettingsFile(std::string_view bytes, AcceptedValues& accepted);
// The bytes SaveSettings writes in place of a file's old bytes (empty when
// there is no old file).
std::string RewriteSettingsFile(std::string_view old_bytes, const SettingsRecord& record);

}  // namespace z4
