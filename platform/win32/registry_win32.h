// The Registry port on the Win32 registry functions (W variants; names and
// text values are UTF-8 on the program's side).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace z4::win32 {

class Win32Registry : public Registry {
 public:
  RegistryHandle OpenKey(RegistryRoot root, const std::string& path) override;
  std::optional<std::string> SubkeyName(RegistryHandle key, std::uint32_t index) override;
  // Text values (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) report the size of their
  // UTF-8 form with its terminating zero, which is the size ReadValue returns.
  std::optional<std::uint32_t> ValueSize(RegistryHandle key, const std::string& name) override;
  std::optional<std::vector<std::uint8_t>> ReadValue(RegistryHandle key, const std::string& name,
                                                     std::size_t capacity) override;
  bool CloseKey(RegistryHandle key) override;
};

}  // namespace z4::win32
