// The number of characters (not bytes) of UTF-8 text.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace z4 {

inline std::size_t Utf8Length(std::string_view utf8) {
  // Every byte that is not a continuation byte starts a character.
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace z4
