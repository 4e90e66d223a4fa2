#include "imaging/gdiplus_sources.h"

namespace z4 {

std::vector<GdiPlusSource> GdiPlusSources(std::optional<OsVersion> version) {
  // A copy that an administrator put into the system folder of Windows 2000
  // is as trustworthy as the system's own, and is used when none lies beside
  // the program.
  if (version && version->major == 5 && version->minor == 0) {
    return {GdiPlusSource::ProgramFolder, GdiPlusSource::SystemFolder};
  }
  return {GdiPlusSource::SystemAssembly, GdiPlusSource::SystemFolder};
}

}  // namespace z4
