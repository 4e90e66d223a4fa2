#include "imaging/image_header.h"

namespace z4 {
namespace {

constexpr std::string_view kPngSignature = "\x89PNG\r\n\x1A\n";
constexpr std::uint16_t kTiffImageWidth = 256;
constexpr std::uint16_t kTiffImageLength = 257;
constexpr std::uint16_t kTiffShort = 3;
constexpr std::uint16_t kTiffLong = 4;

// Reads unsigned numbers of either byte order from a byte string, bounds
// checked: a read past the end gives nullopt.
class Reader {
 public:
  Reader(std::string_view bytes, bool big_endian) : bytes_(bytes), big_endian_(big_endian) {}

  std::optional<std::uint32_t> Read(std::uint64_t at, int size) const {
    if (at > bytes_.size() || bytes_.size() - at < static_cast<std::uint64_t>(size)) {
      return std::nullopt;
    }
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
      const int index = big_endian_ ? i : size - 1 - i;
      value = (value << 8) | static_cast<unsigned char>(bytes_[at + static_cast<unsigned>(index)]);
    }
    return value;
  }

 private:
  std::string_view bytes_;
  bool big_endian_;
};

std::optional<ImageSize> PngSize(std::string_view bytes) {
  // The signature, then the IHDR chunk: its length, its type, width, height.
  const Reader reader(bytes, true);
  const auto width = reader.Read(16, 4);
  const auto height = reader.Read(20, 4);
  if (!width || !height || bytes.substr(12, 4) != "IHDR") return std::nullopt;
  return ImageSize{*width, *height};
}

std::optional<ImageSize> TiffSize(std::string_view bytes) {
  const Reader reader(bytes, bytes[0] == 'M');
  const auto directory = reader.Read(4, 4);
  if (!directory) return std::nullopt;
  const auto entries = reader.Read(*directory, 2);
  if (!entries) return std::nullopt;
  std::optional<std::uint32_t> width, height;
  for (std::uint32_t i = 0; i < *entries; ++i) {
    const std::uint64_t entry = *directory + 2 + 12ull * i;
    const auto tag = reader.Read(entry, 2);
    const auto type = reader.Read(entry + 2, 2);
    if (!tag || !type) return std::nullopt;
    if (*tag != kTiffImageWidth && *tag != kTiffImageLength) continue;
    // A short value sits in the first two bytes of the value field.
    std::optional<std::uint32_t> value;
    if (*type == kTiffShort) value = reader.Read(entry + 8, 2);
    if (*type == kTiffLong) value = reader.Read(entry + 8, 4);
    if (!value) return std::nullopt;
    (*tag == kTiffImageWidth ? width : height) = value;
  }
  if (!width || !height) return std::nullopt;
  return ImageSize{*width, *height};
}

}  // namespace

ImageKind KindOf(std::string_view bytes) {
  if (bytes.substr(0, kPngSignature.size()) == kPngSignature) return ImageKind::Png;
  const std::string_view mark = bytes.substr(0, 4);
  if (mark == std::string_view("II*\0", 4) || mark == std::string_view("MM\0*", 4)) {
    return ImageKind::Tiff;
  }
  return ImageKind::Other;
}

std::optional<ImageSize> DeclaredImageSize(std::string_view bytes) {
  switch (KindOf(bytes)) {
    case ImageKind::Png:
      return PngSize(bytes);
    case ImageKind::Tiff:
      return TiffSize(bytes);
    case ImageKind::Other:
      break;
  }
  return std::nullopt;
}

bool AcceptableImageSize(std::uint64_t width, std::uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxImagePixels && height <= kMaxImagePixels &&
         width * height <= kMaxImagePixels;
}

}  // namespace z4
