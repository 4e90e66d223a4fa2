// The settings the window shows, read from the program folder's and the
// board's "Z4.INI", and the local copy of "Z4.INI" rewritten for the board.
#pragma once

#include <string>

#include "core/ports.h"
#include "core/settings_record.h"

namespace z4 {

// Sets DeviceSettings to the built-in values and then to those of a "Z4.INI"
// in the program folder, when there is one and it can be read; a file that
// cannot be read counts as absent. 0.
int LoadDefaultSettings(Ports& ports);

// LoadDefaultSettings, then the values of `bytes`, the board's settings file
// as just read from the board: DeviceSettings is what the board reports, and
// the bytes are kept as the board's file.
void TakeBoardSettings(Ports& ports, const std::string& bytes);

// LoadDefaultSettings, then (unless useDefaults is non-zero) the board's
// "Z4.INI", fetched into the backup folder. A board file that cannot be fetched
// leaves the values before it. 0, or 1 when a file was there but could not be
// read; DeviceSettings then holds the values read before that file.
int LoadSettings(Ports& ports, int useDefaults);

// Rewrites the local copy of "Z4.INI" with the record's values, starting from
// the board's file when it can be fetched and from nothing otherwise; keys the
// file lacks are appended in key order, every line ends in CR LF. The copy is
// replaced as a whole or not at all. 0 on success, 1 when the file could not
// be read or written. DeviceSettings is not touched.
int SaveSettings(Ports& ports, const SettingsRecord& record);

}  // namespace z4
