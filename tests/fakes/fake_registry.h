// An in-memory registry: keys in the order they were added, string and binary
// values, and a count of the handles that are still open.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace z4::fakes {

class FakeRegistry : public Registry {
 public:
  // Creates the key and every key above it.
  void AddKey(RegistryRoot root, const std::string& path);
  // A text value, stored with its terminating zero as the system stores it.
  void SetString(RegistryRoot root, const std::string& path, const std::string& name,
                 const std::string& text);
  void SetBinary(RegistryRoot root, const std::string& path, const std::string& name,
                 const std::vector<std::uint8_t>& data);

  RegistryHandle OpenKey(RegistryRoot root, const std::string& path) override;
  std::optional<std::string> SubkeyName(RegistryHandle key, std::uint32_t index) override;
  std::optional<std::uint32_t> ValueSize(RegistryHandle key, const std::string& name) override;
  std::optional<std::vector<std::uint8_t>> ReadValue(RegistryHandle key, const std::string& name,
                                                     std::size_t capacity) override;
  bool CloseKey(RegistryHandle key) override;

  int OpenHandles() const { return static_cast<int>(open_.size()); }
  // Every path that was opened successfully, as given.
  const std::vector<std::string>& OpenedPaths() const { return opened_paths_; }
  // Value reads (ReadValue calls) per value name.
  int ReadsOf(const std::string& name) const;
  // Makes every CloseKey report failure (the handle is released all the same).
  bool fail_close = false;
  // The next `count` reads of the named value fail as if the system refused them.
  void FailNextReads(const std::string& name, int count) { failing_reads_[name] = count; }

 private:
  struct Key {
    std::vector<std::string> subkeys;  // display names, in order of creation
    std::map<std::string, std::vector<std::uint8_t>> values;
  };
  static std::string Normal(RegistryRoot root, const std::string& path);
  Key* Find(RegistryRoot root, const std::string& path);
  Key* Handle(RegistryHandle key);

  std::map<std::string, Key> keys_;
  std::map<RegistryHandle, std::string> open_;
  std::vector<std::string> opened_paths_;
  std::map<std::string, int> reads_;
  std::map<std::string, int> failing_reads_;
  RegistryHandle next_ = 0x100;
};

}  // namespace z4::fakes
