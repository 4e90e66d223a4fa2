#include "imaging/image_header.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "imaging/gdiplus_sources.h"
#include "sim/png_writer.h"
#include "sim/tiff_writer.h"

namespace z4 {
namespace {

std::string Rgb(int pixels) {
  return std::string(static_cast<std::size_t>(pixels) * 3, '\x7F');
}

// A TIFF header by hand: byte order, 42, the directory at 8 with the given
// entries (tag, type, value).
std::string Tiff(bool big, std::initializer_list<std::array<std::uint32_t, 3>> entries) {
  std::string out = big ? std::string("MM\0*", 4) : std::string("II*\0", 4);
  auto put = [&](std::uint32_t v, int size) {
    for (int i = 0; i < size; ++i) {
      const int shift = 8 * (big ? size - 1 - i : i);
      out += static_cast<char>((v >> shift) & 0xFF);
    }
  };
  put(8, 4);
  put(static_cast<std::uint32_t>(entries.size()), 2);
  for (const auto& [tag, type, value] : entries) {
    put(tag, 2);
    put(type, 2);
    put(1, 4);
    if (type == 3) {
      put(value, 2);
      put(0, 2);
    } else {
      put(value, 4);
    }
  }
  return out;
}

TEST(ImageHeaderTest, TheDeclaredSizeOfPngAndTiff) {
  struct Case {
    const char* what;
    std::string bytes;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> size;
  };
  const std::string png = sim::PngFile(3, 2, Rgb(6));
  const Case cases[] = {
      {"PNG", png, std::pair{3u, 2u}},
      {"TIFF from the board", sim::TiffFile(5, 4, Rgb(20)), std::pair{5u, 4u}},
      {"TIFF, big-endian shorts", Tiff(true, {{{256, 3, 640}}, {{257, 3, 480}}}),
       std::pair{640u, 480u}},
      {"TIFF, little-endian longs", Tiff(false, {{{257, 4, 70000}}, {{256, 4, 9}}}),
       std::pair{9u, 70000u}},
      {"TIFF without a height", Tiff(false, {{{256, 4, 9}}}), std::nullopt},
      {"TIFF with a width of another type", Tiff(false, {{{256, 5, 9}}, {{257, 4, 9}}}),
       std::nullopt},
      {"TIFF directory beyond the end", std::string("II*\0\xFF\0\0\0", 8), std::nullopt},
      {"PNG cut in its header", png.substr(0, 20), std::nullopt},
      {"PNG without IHDR first", png.substr(0, 12) + "IDAT" + png.substr(16), std::nullopt},
      {"not an image", "GIF89a.................", std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto size = DeclaredImageSize(c.bytes);
    ASSERT_EQ(size.has_value(), c.size.has_value());
    if (size) {
      EXPECT_EQ(size->width, c.size->first);
      EXPECT_EQ(size->height, c.size->second);
    }
  }
}

TEST(ImageHeaderTest, SixtyFourMegapixelsAtMost) {
  EXPECT_TRUE(AcceptableImageSize(8192, 8192));
  EXPECT_FALSE(AcceptableImageSize(8192, 8193));
  EXPECT_TRUE(AcceptableImageSize(kMaxImagePixels, 1));
  EXPECT_FALSE(AcceptableImageSize(0xFFFFFFFFu, 0xFFFFFFFFu)) << "no overflow";
  EXPECT_FALSE(AcceptableImageSize(0, 10));
  EXPECT_FALSE(AcceptableImageSize(10, 0));
}

// The program's folder is looked in on Windows 2000 only, where the system
// has no GDI+; never along the search path. An unknown Windows is a later one.
TEST(GdiPlusSourcesTest, TheProgramsFolderOnlyOnWindows2000) {
  using S = GdiPlusSource;
  EXPECT_EQ(GdiPlusSources(OsVersion{5, 0}), (std::vector<S>{S::ProgramFolder, S::SystemFolder}));
  for (const auto v : {std::optional<OsVersion>{{5, 1}}, {{6, 1}}, {{10, 0}}, {}}) {
    EXPECT_EQ(GdiPlusSources(v), (std::vector<S>{S::SystemAssembly, S::SystemFolder}));
  }
}

}  // namespace
}  // namespace z4
