// Decimal text helpers shared by the file readers and the panels.
#pragma once

#include <string>
#include <string_view>

namespace z4 {

// Unsigned decimal text to integer: digits "0" to "9" only, leading zeros
// allowed, no sign and no white space. The empty text or any other character
// gives -1. Values beyond the int range come back as the largest int, so a
// long run of digits can never wrap round into an accepted value.
int ParseDecimal(std::string_view text);

// The "%d" text of a value.
std::string FormatDecimal(int value);

}  // namespace z4
