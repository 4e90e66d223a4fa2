#include "platform/win32/system_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/win32/system_library.h"
#include "platform/win32/unicode.h"

namespace z4::win32 {

std::optional<OsVersion> Win32System::Version() {
  // GetVersionEx on purpose: the board is looked for by the version the system
  // reports to this program, which is what a compatibility setting changes.
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExW(&info) != TRUE) return std::nullopt;
#pragma GCC diagnostic pop
  return OsVersion{info.dwMajorVersion, info.dwMinorVersion};
}

std::string Win32System::ProgramPath() {
  // Grow the buffer until the whole path fits: install folders can be deep.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::string Win32System::CommandLine() {
  return Narrow(GetCommandLineW());
}

unsigned Win32System::SuppressDriveErrorDialogs() {
  // Without this, entering a card-reader style drive with no medium can bring
  // up the system's "no disk" dialog in the middle of a probe.
  return SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

void Win32System::RestoreErrorMode(unsigned previous) {
  SetErrorMode(previous);
}

std::optional<std::string> Win32System::LocalAppDataFolder() {
  // shell32 has SHGetFolderPathW from Windows 2000 on; shfolder.dll carries
  // it where an older shell32 lacks it. Both come from the system folder.
  using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  static const SystemLibrary shell32(L"shell32.dll");
  static const SystemLibrary shfolder(L"shfolder.dll");
  auto get = shell32.Find<GetFolderPath>("SHGetFolderPathW");
  if (!get) get = shfolder.Find<GetFolderPath>("SHGetFolderPathW");
  if (!get) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  constexpr int kLocalAppData = 0x001c;  // CSIDL_LOCAL_APPDATA
  if (FAILED(get(nullptr, kLocalAppData, nullptr, 0, path)) || path[0] == L'\0') {
    return std::nullopt;
  }
  return Narrow(path);
}

void Win32System::OpenDocument(const std::string& path) {
  static const SystemLibrary shell32(L"shell32.dll");
  const auto open = shell32.Find<decltype(&ShellExecuteW)>("ShellExecuteW");
  if (!open) return;
  const OleSession ole;
  open(nullptr, L"open", Widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::string Win32System::AnsiToUtf8(std::string_view bytes) {
  return win32::AnsiToUtf8(bytes);
}

void Win32Clock::Pause(unsigned ms) {
  Sleep(ms);
}

std::int64_t Win32Clock::NowMs() {
  // GetTickCount64 does not exist before Windows Vista.
  return ticks_.Advance(GetTickCount());
}

}  // namespace z4::win32
