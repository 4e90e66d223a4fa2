#include "imaging/gdiplus_library_win32.h"

#include <string>

#include "imaging/gdiplus_sources.h"
#include "platform/win32/system_library.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/unicode.h"
#include "res/resource_ids.h"

namespace z4::win32 {
namespace {

constexpr wchar_t kFileName[] = L"gdiplus.dll";

std::wstring ProgramFolder() {
  const std::wstring path = Widen(Win32System().ProgramPath());
  const auto slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

HMODULE LoadFromFolder(const std::wstring& folder) {
  if (folder.empty()) return nullptr;
  return LoadLibraryW((folder + L"\\" + kFileName).c_str());
}

template <typename F>
F Find(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The side-by-side assembly, through an activation context made from the
// program's manifest resource that names it. The resource is not the
// program's own manifest: a dependency there would have every start of the
// program resolve the assembly, and a Windows without it refuse to start the
// program at all, while only the board inspection shows images. The
// activation-context functions came with Windows XP, so they are looked up
// here rather than imported.
HMODULE LoadFromAssembly() {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return nullptr;
  const auto create = Find<HANDLE(WINAPI*)(const ACTCTXW*)>(kernel, "CreateActCtxW");
  const auto activate = Find<BOOL(WINAPI*)(HANDLE, ULONG_PTR*)>(kernel, "ActivateActCtx");
  const auto deactivate = Find<BOOL(WINAPI*)(DWORD, ULONG_PTR)>(kernel, "DeactivateActCtx");
  const auto release = Find<void(WINAPI*)(HANDLE)>(kernel, "ReleaseActCtx");
  if (!create || !activate || !deactivate || !release) return nullptr;

  const std::wstring program = Widen(Win32System().ProgramPath());
  ACTCTXW request{};
  request.cbSize = sizeof(request);
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
  request.lpSource = program.c_str();
  request.lpResourceName = MAKEINTRESOURCEW(IDR_GDIPLUS_MANIFEST);
  request.hModule = GetModuleHandleW(nullptr);
  // Made only when the assembly is installed: the context then redirects the
  // file name to it.
  HANDLE context = create(&request);
  if (context == INVALID_HANDLE_VALUE) return nullptr;
  HMODULE dll = nullptr;
  ULONG_PTR cookie = 0;
  if (activate(context, &cookie)) {
    // With the context active, the loader takes the name from the assembly
    // before it would look in any folder.
    dll = LoadLibraryW(kFileName);
    deactivate(0, cookie);
  }
  release(context);
  return dll;
}

}  // namespace

HMODULE LoadGdiPlus() {
  for (const GdiPlusSource source : GdiPlusSources(Win32System().Version())) {
    HMODULE dll = nullptr;
    switch (source) {
      case GdiPlusSource::SystemAssembly:
        dll = LoadFromAssembly();
        break;
      case GdiPlusSource::SystemFolder:
        dll = LoadFromFolder(SystemFolder());
        break;
      case GdiPlusSource::ProgramFolder:
        dll = LoadFromFolder(ProgramFolder());
        break;
    }
    if (dll) return dll;
  }
  return nullptr;
}

}  // namespace z4::win32
