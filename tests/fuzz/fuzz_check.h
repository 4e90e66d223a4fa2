// What the fuzz targets share: a failed check ends the run as a crash, which
// libFuzzer keeps as a finding.
#pragma once

#include <cstdlib>

inline void Check(bool condition) {
  if (!condition) std::abort();
}
