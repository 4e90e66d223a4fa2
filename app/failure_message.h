// The message shown when a step of the program fails for want of memory.
#pragma once

#include <string>

namespace z4 {

// In Japanese for language 0, in English otherwise.
std::string FailureMessageText(int language);

inline constexpr char kFailureCaption[] = "Z4Utility";

}  // namespace z4
