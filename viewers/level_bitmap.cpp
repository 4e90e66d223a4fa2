#include "viewers/level_bitmap.h"

#include <cstdint>

namespace z4 {
namespace {

void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((v >> shift) & 0xFF);
}

constexpr std::uint32_t kHeaderBytes = 54;

}  // namespace

std::string EncodeLevelBitmap(const std::vector<Colour>& rows, int width, int height) {
  if (width <= 0 || height <= 0) return {};
  const auto w = static_cast<std::uint32_t>(width);
  const auto h = static_cast<std::uint32_t>(height);
  // Rows are padded to whole 32-bit words (none is needed for 1100 pixels).
  const std::uint32_t row_bytes = (w * 3 + 3) / 4 * 4;
  std::string out;
  out.reserve(kHeaderBytes + row_bytes * h);
  out += "BM";
  Put32(out, kHeaderBytes + row_bytes * h);
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, kHeaderBytes);
  Put32(out, 40);
  Put32(out, w);
  Put32(out, h);  // positive: the bottom row comes first
  Put16(out, 1);
  Put16(out, 24);
  for (int i = 0; i < 6; ++i) Put32(out, 0);  // compression, image size, resolutions, colours

  // The pixels, bottom row first, written in place into the sized string.
  const std::size_t header = out.size();
  out.resize(header + static_cast<std::size_t>(row_bytes) * h, '\0');
  char* p = out.data() + header;
  for (std::uint32_t y = h; y-- > 0;) {
    char* row = p;
    for (std::uint32_t x = 0; x < w; ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * w + x;
      const Colour c = at < rows.size() && rows[at] != kInvalidColour ? rows[at] : 0x00FFFFFFu;
      row[0] = static_cast<char>((c >> 16) & 0xFF);
      row[1] = static_cast<char>((c >> 8) & 0xFF);
      row[2] = static_cast<char>(c & 0xFF);
      row += 3;
    }
    p += row_bytes;  // the padding stays zero
  }
  return out;
}

}  // namespace z4
