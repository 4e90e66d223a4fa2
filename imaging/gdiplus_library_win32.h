// gdiplus.dll, loaded from where the running Windows keeps it (see
// imaging/gdiplus_sources.h).
#pragma once

#include <windows.h>

namespace z4::win32 {

// The loaded library, or nullptr when none of its places has it. The caller
// frees it.
HMODULE LoadGdiPlus();

}  // namespace z4::win32
