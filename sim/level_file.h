// "Z4.CSV", the CCD level data the board writes for "Wave:". Unless it is
// given a file to hand out instead, the board writes a generated series: a
// smooth bell (a raised sine) of kGeneratedLevelCount white levels, rising
// from kGeneratedLevelFloor at both ends to kGeneratedLevelPeak in the middle:
//
//   "BlackLevel:,012\r\n"
//   "MaxLevel:,255\r\n"
//   "WhiteLevel:1728,v1,v2,...,v10\r\n"   the key part, then ten values
//   ",v11,...,v20\r\n"                     an empty leading part, then ten values
//   ...
//   ",v1721,...,v1728\r\n"                 the last eight
//   ";\r\n"                                the end of the series
#pragma once

#include <string>

namespace z4::sim {

inline constexpr int kGeneratedLevelCount = 1728;
inline constexpr int kGeneratedMaxLevel = 255;
inline constexpr int kGeneratedBlackLevel = 12;
inline constexpr int kGeneratedLevelFloor = 20;
inline constexpr int kGeneratedLevelPeak = 230;
inline constexpr int kLevelsPerLine = 10;

// White level number i (from 0) of the generated series; -1 outside it.
int GeneratedLevel(int i);

// The whole generated file, as above.
std::string GeneratedLevelFile();

}  // namespace z4::sim
