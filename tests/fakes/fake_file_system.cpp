#include "fakes/fake_file_system.h"

#include <algorithm>
#include <cctype>

namespace z4::fakes {

class FakeFileSystem::Handle : public OpenFile {
 public:
  Handle(FakeFileSystem& fs, std::string key) : fs_(fs), key_(std::move(key)) {}
  ~Handle() override {
    auto it = fs_.entries_.find(key_);
    if (it != fs_.entries_.end() && it->second.held > 0) --it->second.held;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

 private:
  FakeFileSystem& fs_;
  std::string key_;
};

FakeFileSystem::FakeFileSystem() {
  AddDrive('C', DriveKind::Fixed);
}

std::string FakeFileSystem::Key(const std::string& path) {
  std::string k;
  k.reserve(path.size());
  for (char c : path) {
    const char ch = c == '/' ? '\\' : (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    if (ch == '\\' && !k.empty() && k.back() == '\\') continue;
    k += ch;
  }
  while (k.size() > 2 && k.back() == '\\') k.pop_back();
  if (k.size() == 3 && k[1] == ':' && k[2] == '\\') k.pop_back();
  return k;
}

std::string FakeFileSystem::ParentKey(const std::string& key) {
  const auto cut = key.rfind('\\');
  return cut == std::string::npos ? std::string() : key.substr(0, cut);
}

bool FakeFileSystem::Matches(const std::string& pattern, const std::string& name) {
  // "*.*" matches every name, as on Windows; otherwise * and ? wildcards.
  if (pattern == "*.*" || pattern == "*") return true;
  std::size_t p = 0, n = 0, star = std::string::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

void FakeFileSystem::Note(const std::string& op) {
  if (before_operation) before_operation(op);
  log.push_back(op);
}

bool FakeFileSystem::DriveUp(const std::string& key) const {
  if (key.size() < 2 || key[1] != ':') return false;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
  auto it = drives_.find(letter);
  return it != drives_.end() && it->second;
}

FakeFileSystem::Entry* FakeFileSystem::Get(const std::string& path) {
  const std::string k = Key(path);
  if (!DriveUp(k)) return nullptr;
  auto it = entries_.find(k);
  return it == entries_.end() ? nullptr : &it->second;
}

const FakeFileSystem::Entry* FakeFileSystem::Get(const std::string& path) const {
  const std::string k = Key(path);
  if (!DriveUp(k)) return nullptr;
  auto it = entries_.find(k);
  return it == entries_.end() ? nullptr : &it->second;
}

bool FakeFileSystem::CanCreateIn(const std::string& key) const {
  auto parent = entries_.find(ParentKey(key));
  return DriveUp(key) && parent != entries_.end() && parent->second.directory &&
         !parent->second.read_only;
}

bool FakeFileSystem::Reserve(const std::string& key, std::int64_t bytes) {
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
  auto it = free_.find(letter);
  if (it == free_.end()) return true;
  if (bytes > it->second) return false;
  it->second -= bytes;
  return true;
}

void FakeFileSystem::AddDrive(char letter, DriveKind kind) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  drives_[letter] = true;
  ejected_[letter] = false;
  kinds_[letter] = kind;
  const std::string root = Key(std::string(1, letter) + ":");
  auto& e = entries_[root];
  e.directory = true;
  if (e.name.empty()) e.name = std::string(1, letter) + ":\\";
}

void FakeFileSystem::RemoveDrive(char letter) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  drives_[letter] = false;
  ejected_[letter] = false;
}

void FakeFileSystem::EjectMedium(char letter) {
  RemoveDrive(letter);
  ejected_[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = true;
}

void FakeFileSystem::SwapDisk(char letter, const std::map<std::string, std::string>& files) {
  const std::string drive = Key(std::string(1, letter) + ":");
  std::map<std::string, Entry> now;
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->first != drive && it->first.compare(0, drive.size() + 1, drive + "\\") == 0) {
      now.insert(*it);
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
  auto& aside = put_aside_[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))];
  if (!aside.empty()) {
    entries_.insert(aside.begin(), aside.end());
    aside.clear();
  } else {
    aside = std::move(now);
    for (const auto& [path, bytes] : files) AddFile(path, bytes);
  }
}

bool FakeFileSystem::HasDrive(char letter) const {
  return DriveUp(std::string(1, letter) + ":");
}

void FakeFileSystem::AddDirectory(const std::string& path) {
  const std::string k = Key(path);
  if (k.size() <= 2) return;
  const auto there = entries_.find(k);
  if (there != entries_.end() && there->second.directory) return;
  AddDirectory(ParentKey(k));
  auto& e = entries_[k];
  e.directory = true;
  if (e.name.empty()) e.name = path;
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& bytes) {
  const std::string k = Key(path);
  AddDirectory(ParentKey(k));
  auto& e = entries_[k];
  e.directory = false;
  e.name = path;
  e.bytes = bytes;
}

std::optional<std::string> FakeFileSystem::Contents(const std::string& path) const {
  const Entry* e = Get(path);
  if (!e || e->directory) return std::nullopt;
  return e->bytes;
}

bool FakeFileSystem::Exists(const std::string& path) const {
  return Get(path) != nullptr;
}

bool FakeFileSystem::IsDirectory(const std::string& path) const {
  const Entry* e = Get(path);
  return e && e->directory;
}

std::vector<std::string> FakeFileSystem::List(const std::string& folder) const {
  std::vector<std::string> names;
  // The keys below a folder sort together, right after the folder's own.
  const std::string prefix = Key(folder) + "\\";
  for (auto it = entries_.lower_bound(prefix);
       it != entries_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    if (it->first.find('\\', prefix.size()) != std::string::npos) continue;
    names.push_back(it->second.name.substr(it->second.name.rfind('\\') + 1));
  }
  return names;
}

void FakeFileSystem::SetHeldOpen(const std::string& path, bool held) {
  auto it = entries_.find(Key(path));
  if (it != entries_.end()) it->second.held = held ? 1 : 0;
}

void FakeFileSystem::SetReadOnly(const std::string& path, bool read_only) {
  auto it = entries_.find(Key(path));
  if (it != entries_.end()) it->second.read_only = read_only;
}

void FakeFileSystem::SetFreeSpace(char letter, std::int64_t bytes) {
  free_[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = bytes;
}

std::optional<std::int64_t> FakeFileSystem::FreeSpace(char letter) const {
  const auto it = free_.find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
  if (it == free_.end()) return std::nullopt;
  return it->second;
}

int FakeFileSystem::CountOps(const std::string& prefix) const {
  return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& op) {
    return op.compare(0, prefix.size(), prefix) == 0;
  }));
}

std::unique_ptr<OpenFile> FakeFileSystem::TryOpenExclusive(const std::string& path,
                                                           FileError& error) {
  Note("open " + path);
  const std::string k = Key(path);
  Entry* e = Get(path);
  if (!e) {
    const Entry* folder = Get(ParentKey(k));
    error = folder && folder->directory ? FileError::NotFound : FileError::Gone;
    return nullptr;
  }
  if (e->held > 0) {
    error = FileError::InUse;
    return nullptr;
  }
  if (e->directory || e->read_only) {
    error = FileError::Denied;
    return nullptr;
  }
  error = FileError::None;
  ++e->held;
  return std::make_unique<Handle>(*this, k);
}

FileError FakeFileSystem::TryCreateAndDelete(const std::string& path) {
  Note("probe " + path);
  const std::string k = Key(path);
  const Entry* folder = Get(ParentKey(k));
  if (!folder || !folder->directory) return FileError::Gone;
  if (const Entry* e = Get(path)) return e->held > 0 ? FileError::InUse : FileError::Exists;
  return folder->read_only ? FileError::Denied : FileError::None;
}

DriveKind FakeFileSystem::DriveType(const std::string& root) {
  const std::string k = Key(root);
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(k[0])));
  if (!DriveUp(k) && !ejected_[letter]) return DriveKind::NoRoot;
  const auto kind = kinds_.find(letter);
  return kind == kinds_.end() ? DriveKind::Unknown : kind->second;
}

std::optional<std::string> FakeFileSystem::VolumeName(const std::string& root) {
  const std::string k = Key(root);
  if (!DriveUp(k)) return std::nullopt;
  const auto name =
      volumes_.find(static_cast<char>(std::toupper(static_cast<unsigned char>(k[0]))));
  if (name == volumes_.end()) return std::nullopt;
  return name->second;
}

void FakeFileSystem::SetVolumeName(char letter, const std::string& name) {
  volumes_[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = name;
}

bool FakeFileSystem::CopyReplacing(const std::string& from, const std::string& to) {
  Note("copy " + from + " -> " + to);
  if (failing_copies_ > 0) {
    --failing_copies_;
    return false;
  }
  const Entry* src = Get(from);
  if (!src || src->directory || src->held > 0) return false;
  const std::string bytes = src->bytes;
  const std::string k = Key(to);
  if (!CanCreateIn(k)) return false;
  auto it = entries_.find(k);
  std::int64_t old_size = 0;
  if (it != entries_.end()) {
    if (it->second.directory || it->second.read_only || it->second.held > 0) return false;
    old_size = static_cast<std::int64_t>(it->second.bytes.size());
  }
  if (!Reserve(k, static_cast<std::int64_t>(bytes.size()) - old_size)) return false;
  auto& e = entries_[k];
  e.name = to;
  e.bytes = bytes;
  return true;
}

bool FakeFileSystem::Delete(const std::string& path) {
  Note("delete " + path);
  Entry* e = Get(path);
  if (!e || e->directory || e->read_only || e->held > 0) return false;
  Reserve(Key(path), -static_cast<std::int64_t>(e->bytes.size()));
  entries_.erase(Key(path));
  return true;
}

bool FakeFileSystem::MakeDirectory(const std::string& path) {
  Note("mkdir " + path);
  const std::string k = Key(path);
  if (Get(path) || !CanCreateIn(k)) return false;
  auto& e = entries_[k];
  e.name = path;
  e.directory = true;
  return true;
}

bool FakeFileSystem::RemoveEmptyDirectory(const std::string& path) {
  Note("rmdir " + path);
  Entry* e = Get(path);
  if (!e || !e->directory || e->read_only || !List(path).empty()) return false;
  entries_.erase(Key(path));
  return true;
}

std::optional<std::string> FakeFileSystem::CurrentDirectory() {
  return cwd_;
}

bool FakeFileSystem::EnterDirectory(const std::string& path) {
  Note("cd " + path);
  const Entry* e = Get(path);
  if (!e || !e->directory) return false;
  cwd_ = e->name;
  return true;
}

std::optional<std::vector<std::string>> FakeFileSystem::FindFiles(const std::string& pattern) {
  Note("find " + pattern);
  return Match(pattern);
}

SearchOutcome FakeFileSystem::Search(const std::string& pattern) {
  Note("search " + pattern);
  if (pattern.size() < 2 || pattern[1] != ':') return SearchOutcome::Failed;  // no drive named
  const auto cut = pattern.rfind('\\');
  const Entry* dir = cut == std::string::npos ? nullptr : Get(pattern.substr(0, cut));
  if (!dir || !dir->directory) return SearchOutcome::PlaceGone;
  return Match(pattern) ? SearchOutcome::Found : SearchOutcome::NothingThere;
}

std::optional<std::vector<std::string>> FakeFileSystem::Match(const std::string& pattern) const {
  const auto cut = pattern.rfind('\\');
  if (cut == std::string::npos) return std::nullopt;
  const std::string folder = pattern.substr(0, cut);
  const std::string mask = pattern.substr(cut + 1);
  const Entry* dir = Get(folder.empty() ? pattern.substr(0, 2) : folder);
  if (!dir || !dir->directory) return std::nullopt;
  std::vector<std::string> found;
  // Folders other than a drive's root list "." and ".." first.
  if (Key(folder).size() > 2 && Matches(mask, ".")) {
    found.push_back(".");
    found.push_back("..");
  }
  std::vector<std::string> names = List(folder);
  std::sort(names.begin(), names.end());
  for (const auto& name : names) {
    std::string lower_mask = Key(mask), lower_name = Key(name);
    if (Matches(lower_mask, lower_name)) found.push_back(name);
  }
  if (found.empty()) return std::nullopt;
  return found;
}

std::optional<std::vector<std::string>> FakeFileSystem::FindRegularFiles(
    const std::string& pattern) {
  auto found = FindFiles(pattern);
  if (!found) return std::nullopt;
  const auto cut = pattern.rfind('\\');
  const std::string folder = pattern.substr(0, cut);
  std::vector<std::string> files;
  for (const auto& name : *found) {
    const Entry* e = name == "." || name == ".." ? nullptr : Get(folder + "\\" + name);
    if (e && !e->directory) files.push_back(name);
  }
  return files;
}

std::optional<FileStart> FakeFileSystem::ReadFileStart(const std::string& path, std::size_t limit) {
  Note("read " + path);
  const Entry* e = Get(path);
  if (!e || e->directory || e->held > 0) return std::nullopt;
  FileStart start;
  start.whole = e->bytes.size() <= limit;
  start.bytes = e->bytes.substr(0, limit);
  return start;
}

std::string FakeFileSystem::FullPath(const std::string& path) {
  // Relative paths start in the current folder; "." and ".." are resolved.
  std::string full = path.size() >= 2 && path[1] == ':' ? path : cwd_ + "\\" + path;
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (at <= full.size()) {
    const auto end = full.find_first_of("\\/", at);
    const std::string part = full.substr(at, end == std::string::npos ? end : end - at);
    if (part == "..") {
      if (parts.size() > 1) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    if (end == std::string::npos) break;
    at = end + 1;
  }
  std::string out;
  for (const auto& part : parts) out += (out.empty() ? "" : "\\") + part;
  return parts.size() == 1 ? out + "\\" : out;
}

bool FakeFileSystem::WriteNewFile(const std::string& path, const std::string& bytes) {
  Note("write " + path);
  const std::string k = Key(path);
  if (!CanCreateIn(k)) return false;
  auto it = entries_.find(k);
  if (it != entries_.end() && (it->second.directory || it->second.read_only || it->second.held))
    return false;
  auto& e = entries_[k];
  e.name = path;
  // Like CreateFile and WriteFile: the file is truncated first, and on a full
  // disk only what fits is written.
  Reserve(k, -static_cast<std::int64_t>(e.bytes.size()));
  e.bytes.clear();
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(k[0])));
  auto room = free_.find(letter);
  if (room != free_.end() && room->second < static_cast<std::int64_t>(bytes.size())) {
    e.bytes = bytes.substr(0, static_cast<std::size_t>(room->second));
    room->second = 0;
    return false;
  }
  Reserve(k, static_cast<std::int64_t>(bytes.size()));
  e.bytes = bytes;
  return true;
}

bool FakeFileSystem::ReplaceFileContents(const std::string& path, const std::string& bytes) {
  Note("replace " + path);
  const std::string k = Key(path);
  if (!CanCreateIn(k)) return false;
  auto it = entries_.find(k);
  std::int64_t old_size = 0;
  if (it != entries_.end()) {
    if (it->second.directory || it->second.read_only || it->second.held) return false;
    old_size = static_cast<std::int64_t>(it->second.bytes.size());
  }
  // The new contents are written beside the old file first, so both need room.
  if (!Reserve(k, static_cast<std::int64_t>(bytes.size()))) return false;
  Reserve(k, -old_size);
  auto& e = entries_[k];
  e.name = path;
  e.bytes = bytes;
  return true;
}

bool FakeFileSystem::FlushFile(const std::string& path) {
  Note("flush " + path);
  const Entry* e = Get(path);
  return e && !e->directory && !e->read_only && e->held == 0;
}

}  // namespace z4::fakes
