#include "sim/png_writer.h"

#include <algorithm>
#include <cstdint>

#include "sim/byte_order.h"
#include "sim/checksums.h"

namespace z4::sim {
namespace {

constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);
constexpr std::size_t kLargestStoredBlock = 65535;

// Length, type, data and the CRC-32 of type and data.
void AppendChunk(std::string& out, std::string_view type, std::string_view data) {
  AppendBigEndian32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typed = out.size();
  out.append(type);
  out.append(data);
  AppendBigEndian32(out, Crc32(std::string_view(out).substr(typed)));
}

// A zlib stream (deflate, 32K window, no dictionary) of stored blocks.
std::string StoredZlib(std::string_view raw) {
  std::string out("\x78\x01", 2);  // 0x7801 is a multiple of 31, as the header check needs
  std::string_view rest = raw;
  do {
    const std::size_t size = std::min(rest.size(), kLargestStoredBlock);
    const bool last = size == rest.size();
    out += static_cast<char>(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
    AppendLittleEndian16(out, static_cast<std::uint32_t>(size));
    AppendLittleEndian16(out, static_cast<std::uint32_t>(~size & 0xFFFFu));
    out.append(rest.substr(0, size));
    rest.remove_prefix(size);
  } while (!rest.empty());
  AppendBigEndian32(out, Adler32(raw));
  return out;
}

}  // namespace

std::string PngFile(int width, int height, std::string_view rgb) {
  if (width <= 0 || height <= 0) return std::string();
  const auto row_bytes = static_cast<std::size_t>(width) * 3;
  if (rgb.size() / row_bytes != static_cast<std::size_t>(height) || rgb.size() % row_bytes != 0) {
    return std::string();
  }
  std::string header;
  AppendBigEndian32(header, static_cast<std::uint32_t>(width));
  AppendBigEndian32(header, static_cast<std::uint32_t>(height));
  header.append("\x08\x02\x00\x00\x00", 5);  // depth 8, RGB, deflate, filter set 0, no interlace

  std::string filtered;
  filtered.reserve(rgb.size() + static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    filtered += '\0';  // filter type 0: the row as it is
    filtered.append(rgb.substr(static_cast<std::size_t>(y) * row_bytes, row_bytes));
  }

  std::string file(kSignature);
  AppendChunk(file, "IHDR", header);
  AppendChunk(file, "IDAT", StoredZlib(filtered));
  AppendChunk(file, "IEND", "");
  return file;
}

}  // namespace z4::sim
