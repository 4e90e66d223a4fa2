#include "platform/win32/registry_win32.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace z4::win32 {
namespace {

// Scratch keys live under HKEY_LOCAL_MACHINE, the root the port reads from.
constexpr wchar_t kScratchW[] = L"Software\\Z4UtilityTest";
constexpr char kScratch[] = "Software\\Z4UtilityTest";

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static_cast<LONG>(SHDeleteKeyW(HKEY_LOCAL_MACHINE, kScratchW));
    scratch_ = Create(kScratchW);
    ASSERT_TRUE(scratch_);
  }
  void TearDown() override {
    scratch_.reset();
    EXPECT_EQ(static_cast<LONG>(SHDeleteKeyW(HKEY_LOCAL_MACHINE, kScratchW)), ERROR_SUCCESS);
  }

  static UniqueKey Create(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      return UniqueKey();
    }
    return UniqueKey(key);
  }
  void Set(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetValueExW(scratch_.get(), name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  void SetText(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
    Set(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  static bool Exists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }

  Win32Registry registry;
  UniqueKey scratch_;
};

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST_F(Win32RegistryTest, OpensExistingKeysOnlyAndNeverCreatesThem) {
  const RegistryHandle key = registry.OpenKey(RegistryRoot::LocalMachine, kScratch);
  ASSERT_NE(key, 0u);
  EXPECT_TRUE(registry.CloseKey(key));

  // The discovery paths end in a backslash.
  const RegistryHandle slash =
      registry.OpenKey(RegistryRoot::LocalMachine, std::string(kScratch) + "\\");
  ASSERT_NE(slash, 0u);
  EXPECT_TRUE(registry.CloseKey(slash));

  EXPECT_EQ(registry.OpenKey(RegistryRoot::LocalMachine, std::string(kScratch) + "\\Missing"), 0u);
  EXPECT_FALSE(Exists(std::wstring(kScratchW) + L"\\Missing"));
  EXPECT_FALSE(registry.CloseKey(0));
}

TEST_F(Win32RegistryTest, KeysAreOpenedForReadingOnly) {
  const RegistryHandle key = registry.OpenKey(RegistryRoot::LocalMachine, kScratch);
  ASSERT_NE(key, 0u);
  const DWORD one = 1;
  EXPECT_NE(RegSetValueExW(reinterpret_cast<HKEY>(key), L"written", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&one), sizeof one),
            ERROR_SUCCESS);
  EXPECT_TRUE(registry.CloseKey(key));
}

TEST_F(Win32RegistryTest, ListsSubkeysByIndexInUtf8) {
  ASSERT_TRUE(Create(std::wstring(kScratchW) + L"\\C29A1B40"));
  ASSERT_TRUE(Create(std::wstring(kScratchW) + L"\\D\u00e9vice"));
  const RegistryHandle key = registry.OpenKey(RegistryRoot::LocalMachine, kScratch);
  ASSERT_NE(key, 0u);
  std::vector<std::string> names;
  for (std::uint32_t i = 0;; ++i) {
    auto name = registry.SubkeyName(key, i);
    if (!name) break;
    names.push_back(*name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"C29A1B40", "D\xC3\xA9vice"}));
  EXPECT_TRUE(registry.CloseKey(key));
}

TEST_F(Win32RegistryTest, TextValuesComeBackAsUtf8WithTheirZero) {
  SetText(L"SCSILUN", L"0");
  SetText(L"accented", L"\u00e9t\u00e9");
  SetText(L"expand", L"%TEMP%", REG_EXPAND_SZ);
  Set(L"multi", REG_MULTI_SZ, L"a\0bc\0", 6 * sizeof(wchar_t));
  // The system adds a missing terminator itself when the character after the
  // data happens to be zero, so the data is followed by another character here.
  Set(L"unterminated", REG_SZ, L"QXR4X", 4 * sizeof(wchar_t));

  const RegistryHandle key = registry.OpenKey(RegistryRoot::LocalMachine, kScratch);
  ASSERT_NE(key, 0u);
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"SCSILUN", {'0', 0}},
      {"accented", {0xC3, 0xA9, 't', 0xC3, 0xA9, 0}},
      {"expand", {'%', 'T', 'E', 'M', 'P', '%', 0}},
      {"multi", {'a', 0, 'b', 'c', 0, 0}},
      {"unterminated", {'Q', 'X', 'R', '4', 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(registry.ValueSize(key, c.name), c.bytes.size()) << c.name;
    EXPECT_EQ(registry.ReadValue(key, c.name, 256), c.bytes) << c.name;
    // The buffer is measured against the UTF-8 size, zero included.
    EXPECT_EQ(registry.ReadValue(key, c.name, c.bytes.size()), c.bytes) << c.name;
    EXPECT_EQ(registry.ReadValue(key, c.name, c.bytes.size() - 1), std::nullopt) << c.name;
  }
  EXPECT_TRUE(registry.CloseKey(key));
}

TEST_F(Win32RegistryTest, BinaryValuesComeBackRaw) {
  std::vector<std::uint8_t> mounted = Bytes(std::string("\\\0?\0?\0\\\0", 8));
  mounted.resize(1000, 0xA5);
  Set(L"\\DosDevices\\E:", REG_BINARY, mounted.data(), static_cast<DWORD>(mounted.size()));
  const DWORD number = 0x01020304;
  Set(L"number", REG_DWORD, &number, sizeof number);

  const RegistryHandle key = registry.OpenKey(RegistryRoot::LocalMachine, kScratch);
  ASSERT_NE(key, 0u);
  EXPECT_EQ(registry.ValueSize(key, "\\DosDevices\\E:"), 1000u);
  EXPECT_EQ(registry.ReadValue(key, "\\DosDevices\\E:", 1000), mounted);
  EXPECT_EQ(registry.ReadValue(key, "\\DosDevices\\E:", 999), std::nullopt);
  EXPECT_EQ(registry.ReadValue(key, "number", 4),
            (std::vector<std::uint8_t>{0x04, 0x03, 0x02, 0x01}));
  EXPECT_EQ(registry.ValueSize(key, "missing"), std::nullopt);
  EXPECT_EQ(registry.ReadValue(key, "missing", 1000), std::nullopt);
  EXPECT_TRUE(registry.CloseKey(key));
}

TEST_F(Win32RegistryTest, ReadsTheDynamicRoot) {
  HKEY created = nullptr;
  const LONG rc = RegCreateKeyExW(HKEY_DYN_DATA, L"Z4UtilityTest", 0, nullptr, REG_OPTION_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &created, nullptr);
  ASSERT_EQ(rc, ERROR_SUCCESS);
  UniqueKey dyn(created);
  const std::wstring id = L"SCSI\\KORA";
  ASSERT_EQ(RegSetValueExW(dyn.get(), L"HardWareKey", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(id.c_str()),
                           static_cast<DWORD>((id.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);

  const RegistryHandle key = registry.OpenKey(RegistryRoot::DynData, "Z4UtilityTest\\");
  EXPECT_NE(key, 0u);
  EXPECT_EQ(registry.ReadValue(key, "HardWareKey", 256), Bytes(std::string("SCSI\\KORA\0", 10)));
  EXPECT_TRUE(registry.CloseKey(key));
  // The same path under the other root is a different key.
  const RegistryHandle other = registry.OpenKey(RegistryRoot::LocalMachine, "Z4UtilityTest");
  EXPECT_EQ(other, 0u);
  if (other != 0) registry.CloseKey(other);

  dyn.reset();
  EXPECT_EQ(static_cast<LONG>(SHDeleteKeyW(HKEY_DYN_DATA, L"Z4UtilityTest")), ERROR_SUCCESS);
}

}  // namespace
}  // namespace z4::win32
