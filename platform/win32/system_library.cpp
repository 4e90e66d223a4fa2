#include "platform/win32/system_library.h"

#include <ole2.h>

#include <string>
#include <vector>

namespace z4::win32 {

std::wstring SystemFolder() {
  const UINT length = GetSystemDirectoryW(nullptr, 0);
  if (length == 0) return {};
  std::vector<wchar_t> folder(length);
  const UINT written = GetSystemDirectoryW(folder.data(), length);
  if (written == 0 || written >= length) return {};
  return std::wstring(folder.data(), written);
}

SystemLibrary::SystemLibrary(const wchar_t* name) {
  // From the system folder by its full path: never a same-named file in the
  // program's or the current folder.
  const std::wstring folder = SystemFolder();
  if (folder.empty()) return;
  module_ = LoadLibraryW((folder + L"\\" + name).c_str());
}

SystemLibrary::~SystemLibrary() {
  if (module_) FreeLibrary(module_);
}

OleSession::OleSession() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}

OleSession::~OleSession() {
  if (ok_) OleUninitialize();
}

}  // namespace z4::win32
