// The history of writes to boards. Before each write, the board's settings
// file as the program last read it from that board is kept, byte for byte, in
// "History" in the data folder, as "<number>_<yyyy-mm-dd_hhmmss>_<letter>_before.ini"
// (the number counts the writes, six digits or more; the time is local);
// once the board has been read back, the file it then reported is kept
// beside it as "..._after.ini". A before file is itself a settings file:
// "/apply" of it puts the board's seven settings back. Only the newest 500
// of the files the program names so are kept, newest by their number (the
// order of writing, whatever the clock said); a file of any other name is
// the user's and stays. A history that cannot be written never stops a write.
#pragma once

#include <optional>
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

// Keeps the file the board reported after the write; false when it could not
// be written (or the before file was not).
bool KeepAfter(Ports& ports, const HistoryEntry& entry, std::string_view bytes);

// Where a name stands in the order of writing, for the names the program gives
// history files: this version's numbered names, and the older names that
// started with the time ("2024-05-01_134507[-2]_E_before.ini"), which count as
// written before every numbered one. Nullopt for any other name. Keys compare
// as the files' age: the smaller, the older.
std::optional<std::string> HistoryOrderKey(std::string_view name);

// The values that differ, in key order and written form, each as old→new:
// "Density 80→85, CCFLOffTim 045→060"; empty when none differs.
std::string SettingsChanges(const SettingsRecord& before, const SettingsRecord& after);

}  // namespace z4
