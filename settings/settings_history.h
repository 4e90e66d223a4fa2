// The history of writes to boards. Before each write, the board's settings
// file as the program last read it from that board is kept, byte for byte, in
// "History" in the data folder, as "<yyyy-mm-dd_hhmmss>_<letter>_before.ini"
// (local time); once the board has taken the write, the file it was given is
// kept beside it as "..._after.ini". A before file is itself a settings file:
// "/apply" of it puts the board's seven settings back. Only the newest 500
// files are kept. A history that cannot be written never stops a write.
#pragma once

#include <string>
#include <string_view>

#include "core/ports.h"
#include "core/settings_record.h"

namespace z4 {

inline constexpr int kHistoryFilesKept = 500;

// GetDataFolder + "\History".
std::string HistoryFolderPath(System& system);

// One write's place in the history.
struct HistoryEntry {
  std::string before_path;  // empty when the before file could not be written
  std::string after_path;   // where the after file goes
};

// Keeps the board's file (`bytes`, as last read from the board on `drive`)
// before a write.
HistoryEntry KeepBefore(Ports& ports, const std::string& drive, std::string_view bytes);

// Keeps the file the board took; false when it could not be written.
bool KeepAfter(Ports& ports, const HistoryEntry& entry, std::string_view bytes);

// The values that differ, in key order and written form, each as old→new:
// "Density 80→85, CCFLOffTim 045→060"; empty when none differs.
std::string SettingsChanges(const SettingsRecord& before, const SettingsRecord& after);

}  // namespace z4
