// Read-only access to the system registry, shaped after what drive discovery needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace z4 {

enum class RegistryRoot { LocalMachine, DynData };

// Opaque key handle; 0 is never a valid key.
using RegistryHandle = std::uintptr_t;

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens an existing key with read access only; 0 when it cannot be opened.
  // Opening never creates a key.
  virtual RegistryHandle OpenKey(RegistryRoot root, const std::string& path) = 0;

  // Name of subkey number `index` (names of up to 255 characters); nullopt at the
  // end of the list or on failure.
  virtual std::optional<std::string> SubkeyName(RegistryHandle key, std::uint32_t index) = 0;

  // Size in bytes of a value's data; nullopt when the value cannot be queried.
  virtual std::optional<std::uint32_t> ValueSize(RegistryHandle key, const std::string& name) = 0;

  // Reads a value's data into a buffer of `capacity` bytes. Text values come back
  // as UTF-8 bytes with their terminating zero. nullopt when the value is missing,
  // unreadable or larger than the buffer.
  virtual std::optional<std::vector<std::uint8_t>> ReadValue(RegistryHandle key,
                                                             const std::string& name,
                                                             std::size_t capacity) = 0;

  virtual bool CloseKey(RegistryHandle key) = 0;
};

}  // namespace z4
