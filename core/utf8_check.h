// Telling UTF-8 text from text in another encoding, and making text safe to
// show when it only claims to be UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace z4 {

// The length of the longest start of `bytes` that is well-formed UTF-8
// (shortest forms only, no surrogates, nothing above U+10FFFF).
std::size_t ValidUtf8Length(std::string_view bytes);

inline bool IsValidUtf8(std::string_view bytes) {
  return ValidUtf8Length(bytes) == bytes.size();
}

// The length of `bytes` without a last character that was cut off part way
// (a lead byte, and fewer continuation bytes than it announces).
std::size_t WithoutCutCharacter(std::string_view bytes);

// The text with every ill-formed sequence replaced by U+FFFD.
std::string ReplaceInvalidUtf8(std::string_view bytes);

// Text that is valid UTF-8 without control characters, whatever `bytes`
// hold: a byte of an ill-formed sequence, and every byte of a control
// character (U+0000 to U+001F, U+007F to U+009F), is written as "\xNN"; a
// surrogate in UTF-8 form (as a file name with an unpaired one is converted
// on Windows 2000 and XP) as "\u{D800}".
std::string EscapedText(std::string_view bytes);

}  // namespace z4
