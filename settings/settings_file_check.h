// Whether a settings file holds seven values that the settings panel could
// have set: a file given to the board must not carry values the user could not
// have chosen in the window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/settings_record.h"

namespace z4 {

// One key of a file that cannot be used.
struct SettingsProblem {
  enum Kind {
    Missing,     // no line of the key
    Unreadable,  // no line of the key that the settings-file reader takes
    OffStep,     // a lamp time between the panel's steps
    NotAKey,     // no line of the key, but one that looks like it ("density:82")
    TwoValues,   // two lines of the key with different values
  };
  int key;
  Kind kind;
  // The value text of the file's first line of the key; for NotAKey the
  // look-alike line (trimmed, without comment).
  std::string value;
  std::string other;  // TwoValues: the value text of the other line
};

struct SettingsFileCheck {
  SettingsRecord record;  // the values the reader took (built-in ones where it took none)
  std::vector<SettingsProblem> problems;  // in key order; empty when the file can be used
};

// Reads the bytes with the settings-file reader (the first valid line of a key
// wins; a UTF-8 byte order mark before the first line, as Notepad writes it,
// is skipped) and checks what it took against the panel. A key must not have
// two lines with different values, and keys are case-sensitive as the
// board's file is. The panel's ranges: the density 70 to 90, the
// lamp-off time 30 to 120 minutes in steps of 15, the stabilisation time 10 to
// 120 seconds in steps of 10, P or T, H or V, a valid file date, N or Y.
SettingsFileCheck CheckSettingsFile(std::string_view bytes);

}  // namespace z4
