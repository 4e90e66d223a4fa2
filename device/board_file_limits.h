// The most the program reads of each file the board leaves. The board writes
// a few hundred bytes of settings, a few kilobytes of levels and a short log;
// a file far larger than that is damaged, and reading it whole could stall the
// window or take more memory than a 32-bit program has.
#pragma once

#include <cstddef>

namespace z4 {

// "Z4.INI": larger counts as unreadable.
constexpr std::size_t kSettingsFileLimit = 64 * 1024;
// "Z4.CSV": larger counts as unreadable.
constexpr std::size_t kLevelFileLimit = 1024 * 1024;
// "Z4.LOG": only this much of its start is shown. An edit control takes
// about a second and a half per megabyte to take and paint its text (measured
// under Wine), and the window must not stop answering for that long.
constexpr std::size_t kLogShownLimit = 256 * 1024;

}  // namespace z4
