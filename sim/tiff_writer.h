// TIFF files as the board writes its captures: little-endian baseline RGB,
// 8 bits per sample, uncompressed, chunky, in strips of about 8 KB, 72 dots
// per inch. One image file directory, right after the header; its values that
// do not fit an entry, then the strips, follow it.
#pragma once

#include <string>
#include <string_view>

namespace z4::sim {

// The file's bytes for a picture of `width` x `height` pixels given as rows
// from the top, three bytes (R, G, B) per pixel. Empty when the sizes are not
// positive or `rgb` does not hold exactly that many pixels.
std::string TiffFile(int width, int height, std::string_view rgb);

}  // namespace z4::sim
