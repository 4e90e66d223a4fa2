#include "sim/tiff_writer.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "sim/byte_order.h"

namespace z4::sim {
namespace {

enum Type : std::uint16_t { kShort = 3, kLong = 4, kRational = 5 };

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kStripTarget = 8192;

struct Entry {
  std::uint16_t tag;
  Type type;
  std::vector<std::uint32_t> values;  // a rational takes two: numerator, denominator
};

std::uint32_t Count(const Entry& entry) {
  const auto n = static_cast<std::uint32_t>(entry.values.size());
  return entry.type == kRational ? n / 2 : n;
}

void AppendValues(std::string& out, const Entry& entry) {
  for (std::uint32_t value : entry.values) {
    if (entry.type == kShort) {
      AppendLittleEndian16(out, value);
    } else {
      AppendLittleEndian32(out, value);
    }
  }
}

// The directory and, after it, the values longer than four bytes.
std::string Directory(const std::vector<Entry>& entries, std::size_t at) {
  std::string directory;
  std::string extra;
  const std::size_t extra_at = at + 2 + entries.size() * kEntrySize + 4;
  AppendLittleEndian16(directory, static_cast<std::uint32_t>(entries.size()));
  for (const Entry& entry : entries) {
    AppendLittleEndian16(directory, entry.tag);
    AppendLittleEndian16(directory, entry.type);
    AppendLittleEndian32(directory, Count(entry));
    std::string bytes;
    AppendValues(bytes, entry);
    if (bytes.size() <= 4) {
      bytes.resize(4, '\0');  // left-justified in the entry
      directory += bytes;
    } else {
      AppendLittleEndian32(directory, static_cast<std::uint32_t>(extra_at + extra.size()));
      extra += bytes;
      if (extra.size() % 2 != 0) extra += '\0';  // values start on a word boundary
    }
  }
  AppendLittleEndian32(directory, 0);  // no further directory
  return directory + extra;
}

}  // namespace

std::string TiffFile(int width, int height, std::string_view rgb) {
  if (width <= 0 || height <= 0) return std::string();
  const auto row_bytes = static_cast<std::size_t>(width) * 3;
  const auto rows = static_cast<std::size_t>(height);
  if (rgb.size() / row_bytes != rows || rgb.size() % row_bytes != 0) return std::string();
  const std::size_t rows_per_strip = std::clamp<std::size_t>(kStripTarget / row_bytes, 1, rows);
  const std::size_t strips = (rows + rows_per_strip - 1) / rows_per_strip;

  std::vector<std::uint32_t> counts;
  for (std::size_t s = 0; s < strips; ++s) {
    counts.push_back(static_cast<std::uint32_t>(
        std::min(rows_per_strip, rows - s * rows_per_strip) * row_bytes));
  }
  std::vector<Entry> entries = {
      {256, kLong, {static_cast<std::uint32_t>(width)}},           // ImageWidth
      {257, kLong, {static_cast<std::uint32_t>(height)}},          // ImageLength
      {258, kShort, {8, 8, 8}},                                    // BitsPerSample
      {259, kShort, {1}},                                          // Compression: none
      {262, kShort, {2}},                                          // PhotometricInterpretation: RGB
      {273, kLong, std::vector<std::uint32_t>(strips, 0)},         // StripOffsets, filled in below
      {277, kShort, {3}},                                          // SamplesPerPixel
      {278, kLong, {static_cast<std::uint32_t>(rows_per_strip)}},  // RowsPerStrip
      {279, kLong, counts},                                        // StripByteCounts
      {282, kRational, {72, 1}},                                   // XResolution
      {283, kRational, {72, 1}},                                   // YResolution
      {284, kShort, {1}},                                          // PlanarConfiguration: chunky
      {296, kShort, {2}},                                          // ResolutionUnit: inch
  };
  // The strips follow the directory, whose size does not depend on the offsets.
  const std::size_t data_at = kHeaderSize + Directory(entries, kHeaderSize).size();
  std::vector<std::uint32_t>& offsets = entries[5].values;
  for (std::size_t s = 0; s < strips; ++s) {
    offsets[s] = static_cast<std::uint32_t>(data_at + s * rows_per_strip * row_bytes);
  }

  std::string file("II", 2);
  AppendLittleEndian16(file, 42);
  AppendLittleEndian32(file, static_cast<std::uint32_t>(kHeaderSize));
  file += Directory(entries, kHeaderSize);
  file.append(rgb);
  return file;
}

}  // namespace z4::sim
