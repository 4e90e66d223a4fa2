#include "settings/settings_history.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/data_folder.h"
#include "settings/settings_file.h"

namespace z4 {
namespace {

std::string Stamp(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

bool Exists(FileSystem& files, const std::string& path) {
  const auto found = files.FindFiles(path);
  return found && !found->empty();
}

// Deletes the oldest files beyond the newest kHistoryFilesKept. The names
// start with their time, so their order is their age.
void Prune(Ports& ports, const std::string& folder) {
  auto names = ports.files.FindRegularFiles(folder + "\\*.ini");
  if (!names || names->size() <= static_cast<std::size_t>(kHistoryFilesKept)) return;
  std::sort(names->begin(), names->end());
  const std::size_t surplus = names->size() - static_cast<std::size_t>(kHistoryFilesKept);
  for (std::size_t i = 0; i < surplus; ++i) ports.files.Delete(folder + "\\" + (*names)[i]);
}

}  // namespace

std::string HistoryFolderPath(System& system) {
  return GetDataFolder(system) + "\\History";
}

HistoryEntry KeepBefore(Ports& ports, const std::string& drive, std::string_view bytes) {
  const std::string folder = HistoryFolderPath(ports.system);
  ports.files.MakeDirectory(folder);  // there already after the first write
  // Two writes within one second (two copies of the program) get their own names.
  const std::string base = folder + "\\" + Stamp(ports.wall_clock.Now());
  std::string stem = base;
  for (int n = 2; Exists(ports.files, stem + "_" + drive + "_before.ini") && n < 100; ++n) {
    stem = base + "-" + std::to_string(n);
  }
  HistoryEntry entry;
  entry.after_path = stem + "_" + drive + "_after.ini";
  const std::string before = stem + "_" + drive + "_before.ini";
  if (ports.files.ReplaceFileContents(before, std::string(bytes))) entry.before_path = before;
  Prune(ports, folder);
  return entry;
}

bool KeepAfter(Ports& ports, const HistoryEntry& entry, std::string_view bytes) {
  const bool kept = ports.files.ReplaceFileContents(entry.after_path, std::string(bytes));
  Prune(ports, HistoryFolderPath(ports.system));
  return kept;
}

std::string SettingsChanges(const SettingsRecord& before, const SettingsRecord& after) {
  std::string changes;
  for (int key = 0; key < kSettingsKeyCount; ++key) {
    const std::string old_text = RecordValueText(before, key);
    const std::string new_text = RecordValueText(after, key);
    if (old_text == new_text) continue;
    changes += (changes.empty() ? "" : ", ") + std::string(SettingsKeyName(key)) + " " + old_text +
               "\xE2\x86\x92" + new_text;
  }
  return changes;
}

}  // namespace z4
