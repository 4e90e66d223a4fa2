// The two checksums of the image formats the board writes: CRC-32 (PNG
// chunks; the polynomial of zlib and Ethernet) and Adler-32 (zlib streams).
#pragma once

#include <cstdint>
#include <string_view>

namespace z4::sim {

// CRC-32 with the reflected polynomial 0xEDB88320, initial value and final
// XOR 0xFFFFFFFF. `crc` carries on from an earlier part of the same bytes.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

// Adler-32 of the bytes; `adler` carries on from an earlier part.
std::uint32_t Adler32(std::string_view bytes, std::uint32_t adler = 1);

}  // namespace z4::sim
