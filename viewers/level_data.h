// The CCD level data "Z4.CSV" that the board leaves after a waveform job: a
// series of white levels, a black level and the board's maximum level.
//
// The file as it is read: lines end at LF, and the CR before it stays part of
// the line. A line's key is the text before its first ":" (leading white space
// removed). The series starts at the first line whose key is "WhiteLevel" and
// runs to the terminator, a line holding only ";" and CR after white space.
// Each data line skips its leading part up to and including its first ",",
// then carries values separated by ","; the last value ends at the CR. Values
// are decimal digits; anything else is kept as -1. The "BlackLevel" and
// "MaxLevel" lines carry three characters after their first ",".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/ports.h"

namespace z4 {

inline constexpr int kLevelTableSize = 2000;
inline constexpr int kLevelFieldsPerLine = 10;

enum LevelKey : int { kBlackLevel = 0, kMaxLevel = 1 };

// The series of the last load; one instance for the whole run.
struct LevelSeries {
  std::array<std::int32_t, kLevelTableSize> values{};
  int count = 0;
  std::string file_path;  // the local copy the last load fetched
};
LevelSeries& Levels();

// Replaces the series from the board's current "Z4.CSV", fetched into the
// backup folder. False, with no series, when the fetch failed or the file has
// no "WhiteLevel" section or no terminator.
bool LoadLevelData(Ports& ports);

// Appends the values of one data line to the series (values beyond the
// table's end and fields beyond the tenth of a line are left out); true for
// the terminator line.
bool ParseLevelLine(std::string_view line);

// The value of "BlackLevel" (as ":" and its three characters) or "MaxLevel"
// (the three characters) from the board's file, fetched again; the last line
// with the key wins; empty when no line has it or no copy can be read.
std::string ReadLevelKey(Ports& ports, int key);

// The same lookup in bytes already read.
std::string LevelKeyIn(std::string_view file, int key);

}  // namespace z4
