// What a PNG or TIFF file says of its size, read from its header before any
// pixel is decoded, and the largest image the program takes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace z4 {

struct ImageSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

// 64 megapixels: far above any capture of the board, and a quarter of a
// 32-bit program's memory once decoded. A larger image is refused unread.
constexpr std::uint64_t kMaxImagePixels = 64ull * 1024 * 1024;

enum class ImageKind { Png, Tiff, Other };

// PNG by its signature, TIFF by its byte-order mark and 42.
ImageKind KindOf(std::string_view bytes);

// The width and height a PNG (its IHDR chunk) or TIFF (its first image
// directory) declares; nullopt for other files and for a header that is cut
// short or does not hold both.
std::optional<ImageSize> DeclaredImageSize(std::string_view bytes);

// Whether an image of this size may be decoded: neither side 0, at most
// kMaxImagePixels in all.
bool AcceptableImageSize(std::uint64_t width, std::uint64_t height);

}  // namespace z4
