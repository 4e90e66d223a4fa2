// Where GDI+ comes from on each Windows. Windows XP and later serve it
// themselves: XP and Server 2003 only as the side-by-side assembly
// Microsoft.Windows.GdiPlus, later Windows also in the system folder. Windows
// 2000 has none; its users put the redistributable gdiplus.dll beside the
// program. It is never looked for along the search path by its bare name: a
// gdiplus.dll that lies in the program's folder (a Downloads folder) or the
// current one would run with the user's rights.
#pragma once

#include <optional>
#include <vector>

#include "platform/system.h"

namespace z4 {

enum class GdiPlusSource {
  SystemAssembly,  // the side-by-side assembly, through an activation context
  SystemFolder,    // gdiplus.dll in the system folder, by its full path
  ProgramFolder,   // gdiplus.dll beside the program, by its full path
};

// The places to try, in order, on the Windows of `version` (nullopt when the
// version query failed, which is taken as a Windows after 2000).
std::vector<GdiPlusSource> GdiPlusSources(std::optional<OsVersion> version);

}  // namespace z4
