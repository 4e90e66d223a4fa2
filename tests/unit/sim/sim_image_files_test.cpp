// The files the board's self-test captures, taken apart as a viewer would.
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <string>

#include "sim/checksums.h"
#include "sim/png_writer.h"
#include "sim/test_pattern.h"
#include "sim/tiff_writer.h"

namespace z4::sim {
namespace {

std::uint32_t Big32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(s.at(at + i));
  return v;
}
std::uint32_t Little(const std::string& s, std::size_t at, std::size_t bytes) {
  std::uint32_t v = 0;
  for (std::size_t i = bytes; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(s.at(at + i));
  return v;
}

TEST(SimImageFiles, ChecksumsMatchTheirPublishedCheckValues) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(Crc32(""), 0u);
  EXPECT_EQ(Crc32("6789", Crc32("12345")), 0xCBF43926u);
  EXPECT_EQ(Adler32("Wikipedia"), 0x11E60398u);
  EXPECT_EQ(Adler32(""), 1u);
  // Long enough for the sums to be reduced on the way.
  EXPECT_EQ(Adler32(std::string(100000, '\xff')),
            Adler32(std::string(40000, '\xff'), Adler32(std::string(60000, '\xff'))));
}

TEST(SimImageFiles, TestPatternHasFourPlainQuadrants) {
  const struct {
    int x, y;
    Rgb colour;
  } cases[] = {{0, 0, {255, 0, 0}},       {159, 119, {255, 0, 0}},   {160, 0, {0, 255, 0}},
               {319, 119, {0, 255, 0}},   {0, 120, {0, 0, 255}},     {159, 239, {0, 0, 255}},
               {160, 120, {255, 255, 0}}, {319, 239, {255, 255, 0}}, {320, 0, {0, 0, 0}},
               {-1, 5, {0, 0, 0}}};
  for (const auto& c : cases) EXPECT_EQ(TestPatternColour(c.x, c.y), c.colour) << c.x << "," << c.y;
  const std::string pixels = TestPatternPixels();
  ASSERT_EQ(pixels.size(), 320u * 240u * 3u);
  EXPECT_EQ(pixels.substr(pixels.size() - 3), std::string("\xff\xff\x00", 3));  // bottom right
}

TEST(SimImageFiles, PngIsRgbWithValidChunksAndStoredBlocksHoldingThePattern) {
  const std::string png = PngFile(kTestPatternWidth, kTestPatternHeight, TestPatternPixels());
  ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  std::map<std::string, std::string> chunks;
  std::string order;
  for (std::size_t at = 8; at < png.size();) {
    const std::uint32_t length = Big32(png, at);
    const std::string typed = png.substr(at + 4, 4 + length);
    EXPECT_EQ(Big32(png, at + 8 + length), Crc32(typed)) << typed.substr(0, 4);
    chunks[typed.substr(0, 4)] += typed.substr(4);
    order += typed.substr(0, 4) + " ";
    at += 12 + length;
  }
  EXPECT_EQ(order, "IHDR IDAT IEND ");
  const std::string& ihdr = chunks["IHDR"];
  ASSERT_EQ(ihdr.size(), 13u);
  EXPECT_EQ(Big32(ihdr, 0), 320u);
  EXPECT_EQ(Big32(ihdr, 4), 240u);
  EXPECT_EQ(ihdr.substr(8), std::string("\x08\x02\x00\x00\x00", 5));  // 8-bit RGB

  const std::string& zlib = chunks["IDAT"];
  ASSERT_GE(zlib.size(), 6u);
  EXPECT_EQ(zlib[0] & 0x0F, 8);  // deflate
  EXPECT_EQ(((static_cast<unsigned char>(zlib[0]) << 8) | static_cast<unsigned char>(zlib[1])) % 31,
            0);
  std::string raw;
  bool final_block = false;
  std::size_t at = 2;
  while (!final_block) {
    ASSERT_LE(at + 5, zlib.size());
    final_block = zlib[at] & 1;
    ASSERT_EQ(zlib[at] & 6, 0) << "not a stored block";
    const std::uint32_t len = Little(zlib, at + 1, 2);
    ASSERT_EQ(Little(zlib, at + 3, 2), ~len & 0xFFFFu);
    raw += zlib.substr(at + 5, len);
    at += 5 + len;
  }
  ASSERT_EQ(at + 4, zlib.size());
  EXPECT_EQ(Big32(zlib, at), Adler32(raw));
  std::string unfiltered;
  for (std::size_t row = 0; row < 240; ++row) {
    ASSERT_EQ(raw.at(row * 961), '\0') << "filter of row " << row;
    unfiltered += raw.substr(row * 961 + 1, 960);
  }
  EXPECT_EQ(raw.size(), 240u * 961u);
  EXPECT_EQ(unfiltered, TestPatternPixels());
}

TEST(SimImageFiles, TiffIsBaselineRgbWhoseStripsHoldThePattern) {
  const std::string tiff = TiffFile(kTestPatternWidth, kTestPatternHeight, TestPatternPixels());
  ASSERT_EQ(tiff.substr(0, 4), std::string("II*\0", 4));
  const std::uint32_t ifd = Little(tiff, 4, 4);
  const std::uint32_t count = Little(tiff, ifd, 2);
  EXPECT_EQ(Little(tiff, ifd + 2 + count * 12, 4), 0u);  // one directory only
  std::map<int, std::vector<std::uint32_t>> tags;        // a rational as numerator, denominator
  int previous = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = ifd + 2 + i * 12;
    const int tag = static_cast<int>(Little(tiff, entry, 2));
    EXPECT_GT(tag, previous) << "tags in ascending order";
    previous = tag;
    const std::uint32_t type = Little(tiff, entry + 2, 2);
    const std::uint32_t n = Little(tiff, entry + 4, 4) * (type == 5 ? 2 : 1);
    const std::size_t size = type == 3 ? 2 : 4;
    const std::size_t values = n * size <= 4 ? entry + 8 : Little(tiff, entry + 8, 4);
    for (std::uint32_t k = 0; k < n; ++k) {
      tags[tag].push_back(Little(tiff, values + k * size, size));
    }
  }
  using V = std::vector<std::uint32_t>;
  const std::map<int, V> expected = {{256, {320}},   {257, {240}}, {258, {8, 8, 8}}, {259, {1}},
                                     {262, {2}},     {277, {3}},   {284, {1}},       {282, {72, 1}},
                                     {283, {72, 1}}, {296, {2}}};
  for (const auto& [tag, value] : expected) EXPECT_EQ(tags[tag], value) << "tag " << tag;
  const V& offsets = tags[273];
  const V& counts = tags[279];
  ASSERT_EQ(tags[278].size(), 1u);
  const std::uint32_t rows_per_strip = tags[278][0];
  ASSERT_EQ(offsets.size(), (240 + rows_per_strip - 1) / rows_per_strip);
  ASSERT_GT(offsets.size(), 1u);
  ASSERT_EQ(counts.size(), offsets.size());
  std::string pixels;
  for (std::size_t s = 0; s < offsets.size(); ++s) pixels += tiff.substr(offsets[s], counts[s]);
  EXPECT_EQ(pixels, TestPatternPixels());
}

}  // namespace
}  // namespace z4::sim
