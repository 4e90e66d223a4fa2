// Appending integers to a byte string in a fixed byte order, for the file
// formats the board writes.
#pragma once

#include <cstdint>
#include <string>

namespace z4::sim {

inline void AppendBigEndian32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFFu);
}

inline void AppendLittleEndian16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFFu);
  out += static_cast<char>((value >> 8) & 0xFFu);
}

inline void AppendLittleEndian32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFFu);
}

}  // namespace z4::sim
