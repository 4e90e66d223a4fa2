#include "settings/settings_history.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "core/data_folder.h"
#include "settings/settings_format.h"

namespace z4 {
namespace {

constexpr std::size_t kStampLength = 17;  // "2024-05-01_134507"

std::string Stamp(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

bool Digits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsStamp(std::string_view text) {
  if (text.size() != kStampLength || text[4] != '-' || text[7] != '-' || text[10] != '_') {
    return false;
  }
  return Digits(text.substr(0, 4)) && Digits(text.substr(5, 2)) && Digits(text.substr(8, 2)) &&
         Digits(text.substr(11, 6));
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x | 0x20) == (y | 0x20);
         });
}

// "_E_before.ini" or "_E_after.ini" at the end: the kind (0 before, 1 after)
// and the length of that tail; nullopt otherwise.
std::optional<std::pair<char, std::size_t>> Tail(std::string_view name) {
  for (const auto& [kind, word] : {std::pair{'0', std::string_view("_before.ini")},
                                   std::pair{'1', std::string_view("_after.ini")}}) {
    const std::size_t length = word.size() + 2;
    if (name.size() <= length) continue;
    const std::string_view tail = name.substr(name.size() - length);
    const char letter = static_cast<char>(tail[1] & ~0x20);
    if (tail[0] == '_' && letter >= 'A' && letter <= 'Z' && EqualsNoCase(tail.substr(2), word)) {
      return std::pair{kind, length};
    }
  }
  return std::nullopt;
}

// The number of a numbered name; nullopt for every other name.
std::optional<unsigned long long> WriteNumber(std::string_view name) {
  const auto tail = Tail(name);
  if (!tail) return std::nullopt;
  const std::string_view head = name.substr(0, name.size() - tail->second);
  const auto cut = head.find('_');
  if (cut == std::string_view::npos || cut < 6 || cut > 18 || !Digits(head.substr(0, cut)) ||
      !IsStamp(head.substr(cut + 1))) {
    return std::nullopt;
  }
  unsigned long long number = 0;
  for (char c : head.substr(0, cut)) number = number * 10 + static_cast<unsigned>(c - '0');
  return number;
}

struct Listed {
  std::string key;
  std::string name;
};

// The program's history files in the folder, oldest first.
std::vector<Listed> ListHistory(FileSystem& files, const std::string& folder) {
  std::vector<Listed> listed;
  const auto names = files.FindRegularFiles(folder + "\\*.ini");
  if (!names) return listed;
  for (const std::string& name : *names) {
    if (auto key = HistoryOrderKey(name)) listed.push_back({std::move(*key), name});
  }
  std::sort(listed.begin(), listed.end(),
            [](const Listed& a, const Listed& b) { return a.key < b.key; });
  return listed;
}

std::string NameOf(const std::string& path) {
  return path.substr(path.rfind('\\') + 1);
}

// Deletes the oldest of the program's files beyond the newest
// kHistoryFilesKept; the files of the write under way are never among them.
void Prune(Ports& ports, const std::string& folder, const HistoryEntry& current) {
  const std::vector<Listed> listed = ListHistory(ports.files, folder);
  if (listed.size() <= static_cast<std::size_t>(kHistoryFilesKept)) return;
  std::size_t surplus = listed.size() - static_cast<std::size_t>(kHistoryFilesKept);
  const auto own = [&current](const std::string& name) {
    return (!current.before_path.empty() && EqualsNoCase(name, NameOf(current.before_path))) ||
           EqualsNoCase(name, NameOf(current.after_path));
  };
  for (const Listed& file : listed) {
    if (surplus == 0) break;
    if (own(file.name)) continue;
    ports.files.Delete(folder + "\\" + file.name);
    --surplus;
  }
}

std::string Numbered(unsigned long long number) {
  std::string text = std::to_string(number);
  return std::string(text.size() < 6 ? 6 - text.size() : 0, '0') + text;
}

}  // namespace

std::optional<std::string> HistoryOrderKey(std::string_view name) {
  const auto tail = Tail(name);
  if (!tail) return std::nullopt;
  if (const auto number = WriteNumber(name)) {
    const std::string digits = std::to_string(*number);
    // "1" + the number's length + the number: numeric order as text order.
    return "1" + std::string(1, static_cast<char>('a' + digits.size())) + digits + tail->first;
  }
  // An older name: the time, then the "-n" of a second write within the same
  // second (none counts as 1).
  const std::string_view head = name.substr(0, name.size() - tail->second);
  if (head.size() < kStampLength || !IsStamp(head.substr(0, kStampLength))) return std::nullopt;
  const std::string_view suffix = head.substr(kStampLength);
  std::string n = "01";
  if (!suffix.empty()) {
    if (suffix.size() < 2 || suffix.size() > 3 || suffix[0] != '-' || !Digits(suffix.substr(1))) {
      return std::nullopt;
    }
    n = std::string(3 - suffix.size(), '0') + std::string(suffix.substr(1));
  }
  return "0" + std::string(head.substr(0, kStampLength)) + n + tail->first;
}

std::string HistoryFolderPath(System& system) {
  return GetDataFolder(system) + "\\History";
}

HistoryEntry KeepBefore(Ports& ports, const std::string& drive, std::string_view bytes) {
  const std::string folder = HistoryFolderPath(ports.system);
  ports.files.MakeDirectory(folder);  // there already after the first write
  unsigned long long number = 1;
  for (const Listed& file : ListHistory(ports.files, folder)) {
    if (const auto n = WriteNumber(file.name)) number = std::max(number, *n + 1);
  }
  const std::string stamp = Stamp(ports.wall_clock.Now());
  HistoryEntry entry;
  std::string stem;
  // A file of the next number that is there already (put there by hand) is
  // never replaced: the number after it is taken.
  for (int tries = 0; tries < 100; ++tries, ++number) {
    stem = folder + "\\" + Numbered(number) + "_" + stamp + "_" + drive;
    const auto found = ports.files.FindFiles(folder + "\\" + Numbered(number) + "_*");
    if (!found || found->empty()) break;
  }
  entry.after_path = stem + "_after.ini";
  const std::string before = stem + "_before.ini";
  if (ports.files.ReplaceFileContents(before, std::string(bytes))) entry.before_path = before;
  Prune(ports, folder, entry);
  return entry;
}

bool KeepAfter(Ports& ports, const HistoryEntry& entry, std::string_view bytes) {
  if (entry.before_path.empty()) return false;
  const bool kept = ports.files.ReplaceFileContents(entry.after_path, std::string(bytes));
  Prune(ports, HistoryFolderPath(ports.system), entry);
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
