#include "fakes/fake_registry.h"

#include <algorithm>
#include <cctype>

namespace z4::fakes {

std::string FakeRegistry::Normal(RegistryRoot root, const std::string& path) {
  std::string p = path;
  while (!p.empty() && p.back() == '\\') p.pop_back();
  std::transform(p.begin(), p.end(), p.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return (root == RegistryRoot::LocalMachine ? "hklm\\" : "hkdd\\") + p;
}

void FakeRegistry::AddKey(RegistryRoot root, const std::string& path) {
  std::string p = path;
  while (!p.empty() && p.back() == '\\') p.pop_back();
  std::string parent;
  std::size_t start = 0;
  for (;;) {
    const auto sep = p.find('\\', start);
    const std::string name = p.substr(start, sep == std::string::npos ? sep : sep - start);
    const std::string here = parent.empty() ? name : parent + "\\" + name;
    const std::string parent_key = Normal(root, parent);
    if (!keys_.count(Normal(root, here))) {
      keys_[Normal(root, here)];
      keys_[parent_key].subkeys.push_back(name);
    }
    parent = here;
    if (sep == std::string::npos) break;
    start = sep + 1;
  }
}

void FakeRegistry::SetString(RegistryRoot root, const std::string& path, const std::string& name,
                             const std::string& text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  SetBinary(root, path, name, data);
}

void FakeRegistry::SetBinary(RegistryRoot root, const std::string& path, const std::string& name,
                             const std::vector<std::uint8_t>& data) {
  AddKey(root, path);
  keys_[Normal(root, path)].values[name] = data;
}

FakeRegistry::Key* FakeRegistry::Find(RegistryRoot root, const std::string& path) {
  auto it = keys_.find(Normal(root, path));
  return it == keys_.end() ? nullptr : &it->second;
}

FakeRegistry::Key* FakeRegistry::Handle(RegistryHandle key) {
  auto it = open_.find(key);
  if (it == open_.end()) return nullptr;
  auto k = keys_.find(it->second);
  return k == keys_.end() ? nullptr : &k->second;
}

RegistryHandle FakeRegistry::OpenKey(RegistryRoot root, const std::string& path) {
  if (!Find(root, path)) return 0;
  const RegistryHandle h = next_++;
  open_[h] = Normal(root, path);
  opened_paths_.push_back(path);
  return h;
}

std::optional<std::string> FakeRegistry::SubkeyName(RegistryHandle key, std::uint32_t index) {
  Key* k = Handle(key);
  if (!k || index >= k->subkeys.size()) return std::nullopt;
  return k->subkeys[index];
}

std::optional<std::uint32_t> FakeRegistry::ValueSize(RegistryHandle key, const std::string& name) {
  Key* k = Handle(key);
  if (!k) return std::nullopt;
  auto v = k->values.find(name);
  if (v == k->values.end()) return std::nullopt;
  return static_cast<std::uint32_t>(v->second.size());
}

std::optional<std::vector<std::uint8_t>> FakeRegistry::ReadValue(RegistryHandle key,
                                                                 const std::string& name,
                                                                 std::size_t capacity) {
  ++reads_[name];
  auto failing = failing_reads_.find(name);
  if (failing != failing_reads_.end() && failing->second > 0) {
    --failing->second;
    return std::nullopt;
  }
  Key* k = Handle(key);
  if (!k) return std::nullopt;
  auto v = k->values.find(name);
  if (v == k->values.end() || v->second.size() > capacity) return std::nullopt;
  return v->second;
}

bool FakeRegistry::CloseKey(RegistryHandle key) {
  const bool known = open_.erase(key) == 1;
  return known && !fail_close;
}

int FakeRegistry::ReadsOf(const std::string& name) const {
  auto it = reads_.find(name);
  return it == reads_.end() ? 0 : it->second;
}

}  // namespace z4::fakes
