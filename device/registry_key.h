// Owner of one open registry key: the key is closed when the owner goes away,
// so no path through the discovery code can leave a key open.
#pragma once

#include <string>
#include <utility>

#include "platform/registry.h"

namespace z4 {

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(Registry& registry, RegistryHandle handle)
      : registry_(handle != 0 ? &registry : nullptr), handle_(handle) {}

  // Opens an existing key read-only; the result is closed (false) when the key
  // cannot be opened.
  static RegistryKey Open(Registry& registry, RegistryRoot root, const std::string& path) {
    return RegistryKey(registry, registry.OpenKey(root, path));
  }

  ~RegistryKey() { Close(); }

  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  RegistryKey(RegistryKey&& other) noexcept
      : registry_(std::exchange(other.registry_, nullptr)),
        handle_(std::exchange(other.handle_, 0)) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
      Close();
      registry_ = std::exchange(other.registry_, nullptr);
      handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
  }

  explicit operator bool() const { return handle_ != 0; }
  RegistryHandle handle() const { return handle_; }

  // Closes the key now. False when the system reports that closing failed; the
  // key counts as closed either way and is never closed twice. Closing a key
  // that is not open succeeds.
  bool Close() {
    if (handle_ == 0) return true;
    Registry* registry = std::exchange(registry_, nullptr);
    return registry->CloseKey(std::exchange(handle_, 0));
  }

 private:
  Registry* registry_ = nullptr;
  RegistryHandle handle_ = 0;
};

}  // namespace z4
