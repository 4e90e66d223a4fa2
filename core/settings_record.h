// The seven settings of the board, in the order the program keeps them.
#pragma once

#include <string>

namespace z4 {

struct SettingsRecord {
  int Density = 0;       // percent
  int CCFLOffTim = 0;    // lamp-off time, minutes
  int CCFLStabTim = 0;   // lamp stabilisation time, seconds
  int FileFormat = 0;    // 0 PNG, 1 TIFF
  int Setting = 0;       // 0 or 1
  std::string FileDate;  // "YYYY/MM/DD hh:mm:ss"
  int ImageMove = 0;     // 0 or 1

  bool operator==(const SettingsRecord& o) const {
    return Density == o.Density && CCFLOffTim == o.CCFLOffTim && CCFLStabTim == o.CCFLStabTim &&
           FileFormat == o.FileFormat && Setting == o.Setting && FileDate == o.FileDate &&
           ImageMove == o.ImageMove;
  }
};

}  // namespace z4
