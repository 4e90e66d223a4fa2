#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/unicode.h"

// Windows 9x's dynamic registry root; newer headers may leave it out.
#ifndef HKEY_DYN_DATA
#define HKEY_DYN_DATA ((HKEY)(ULONG_PTR)0x80000006)
#endif

namespace z4::win32 {
namespace {

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::DynData ? HKEY_DYN_DATA : HKEY_LOCAL_MACHINE;
}

HKEY AsKey(RegistryHandle key) {
  return reinterpret_cast<HKEY>(key);
}

bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// UTF-16 text data as UTF-8 bytes ending in a zero. The zero is added when the
// stored data lacks it, so a value written with its terminator has, for ASCII
// text, the size the ANSI registry functions report.
std::vector<std::uint8_t> TextAsUtf8(const std::vector<BYTE>& data) {
  std::wstring wide(data.size() / sizeof(wchar_t), L'\0');
  if (!wide.empty()) std::memcpy(wide.data(), data.data(), wide.size() * sizeof(wchar_t));
  const std::string utf8 = Narrow(wide);
  std::vector<std::uint8_t> out(utf8.begin(), utf8.end());
  if (out.empty() || out.back() != 0) out.push_back(0);
  return out;
}

struct Value {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

// The value's type and whole data. A value that grows between the size query
// and the read is queried again.
std::optional<Value> QueryValue(HKEY key, const std::string& name) {
  const std::wstring wide_name = Widen(name);
  for (int attempt = 0; attempt < 4; ++attempt) {
    Value value;
    DWORD size = 0;
    if (RegQueryValueExW(key, wide_name.c_str(), nullptr, &value.type, nullptr, &size) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    value.data.resize(size);
    DWORD got = size;
    const LONG rc = RegQueryValueExW(key, wide_name.c_str(), nullptr, &value.type,
                                     value.data.empty() ? nullptr : value.data.data(), &got);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) return std::nullopt;
    value.data.resize(got);
    return value;
  }
  return std::nullopt;
}

// The value as the program sees it: text as UTF-8 with its zero, anything else raw.
std::optional<std::vector<std::uint8_t>> ValueBytes(HKEY key, const std::string& name) {
  auto value = QueryValue(key, name);
  if (!value) return std::nullopt;
  if (IsText(value->type)) return TextAsUtf8(value->data);
  return std::vector<std::uint8_t>(value->data.begin(), value->data.end());
}

}  // namespace

RegistryHandle Win32Registry::OpenKey(RegistryRoot root, const std::string& path) {
  // RegOpenKeyExW, unlike RegCreateKeyExW, never creates the key.
  HKEY key = nullptr;
  if (RegOpenKeyExW(RootKey(root), Widen(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return 0;
  }
  return reinterpret_cast<RegistryHandle>(key);
}

std::optional<std::string> Win32Registry::SubkeyName(RegistryHandle key, std::uint32_t index) {
  if (key == 0) return std::nullopt;
  wchar_t name[256];
  DWORD length = 256;
  if (RegEnumKeyExW(AsKey(key), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return Narrow(std::wstring_view(name, length));
}

std::optional<std::uint32_t> Win32Registry::ValueSize(RegistryHandle key, const std::string& name) {
  if (key == 0) return std::nullopt;
  const auto bytes = ValueBytes(AsKey(key), name);
  if (!bytes) return std::nullopt;
  return static_cast<std::uint32_t>(bytes->size());
}

std::optional<std::vector<std::uint8_t>> Win32Registry::ReadValue(RegistryHandle key,
                                                                  const std::string& name,
                                                                  std::size_t capacity) {
  if (key == 0) return std::nullopt;
  auto bytes = ValueBytes(AsKey(key), name);
  if (!bytes || bytes->size() > capacity) return std::nullopt;
  return bytes;
}

bool Win32Registry::CloseKey(RegistryHandle key) {
  return key != 0 && RegCloseKey(AsKey(key)) == ERROR_SUCCESS;
}

}  // namespace z4::win32
