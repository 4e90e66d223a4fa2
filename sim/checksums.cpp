#include "sim/checksums.h"

#include <array>
#include <numeric>

namespace z4::sim {
namespace {

std::array<std::uint32_t, 256> CrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < table.size(); ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
  static const std::array<std::uint32_t, 256> kTable = CrcTable();
  const std::uint32_t register_bits = std::accumulate(
      bytes.begin(), bytes.end(), crc ^ 0xFFFFFFFFu, [](std::uint32_t c, char byte) {
        return kTable[(c ^ static_cast<unsigned char>(byte)) & 0xFFu] ^ (c >> 8);
      });
  return register_bits ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(std::string_view bytes, std::uint32_t adler) {
  constexpr std::uint32_t kBase = 65521;
  // The longest run of bytes whose sums cannot overflow 32 bits.
  constexpr std::size_t kRun = 5552;
  std::uint32_t a = adler & 0xFFFFu;
  std::uint32_t b = adler >> 16;
  std::size_t pending = 0;
  for (char byte : bytes) {
    a += static_cast<unsigned char>(byte);
    b += a;
    if (++pending == kRun) {
      a %= kBase;
      b %= kBase;
      pending = 0;
    }
  }
  return ((b % kBase) << 16) | (a % kBase);
}

}  // namespace z4::sim
