#include "sim/level_file.h"

#include <cmath>

namespace z4::sim {

int GeneratedLevel(int i) {
  if (i < 0 || i >= kGeneratedLevelCount) return -1;
  constexpr double kPi = 3.14159265358979323846;
  const double s = std::sin(kPi * (i + 0.5) / kGeneratedLevelCount);
  return static_cast<int>(
      std::lround(kGeneratedLevelFloor + (kGeneratedLevelPeak - kGeneratedLevelFloor) * s * s));
}

std::string GeneratedLevelFile() {
  auto three_digits = [](int value) {
    const std::string digits = std::to_string(value);
    return std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
  };
  std::string file = "BlackLevel:," + three_digits(kGeneratedBlackLevel) + "\r\n";
  file += "MaxLevel:," + three_digits(kGeneratedMaxLevel) + "\r\n";
  for (int i = 0; i < kGeneratedLevelCount; ++i) {
    if (i % kLevelsPerLine == 0) {
      if (i > 0) file += "\r\n";
      if (i == 0) file += "WhiteLevel:" + std::to_string(kGeneratedLevelCount);
    }
    file += "," + std::to_string(GeneratedLevel(i));
  }
  file += "\r\n;\r\n";
  return file;
}

}  // namespace z4::sim
