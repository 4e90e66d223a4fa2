// Decoding PNG and TIFF files (and whatever else GDI+ reads) into pixels.
// GDI+ is loaded when it is first needed, not through the import table: on a
// Windows 2000 without gdiplus.dll beside the program everything else still
// runs, and no image is ever decoded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace z4::win32 {

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, rows from the top
};

// The whole image, fully decoded; nullopt for a file that cannot be read or
// is not a complete image (empty, truncated, anything else), or when GDI+
// is not there. The file is not kept open.
std::optional<DecodedImage> DecodeImageFile(const std::wstring& path);

// Whether GDI+ could be loaded and started.
bool ImageDecoderAvailable();

}  // namespace z4::win32
