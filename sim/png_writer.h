// PNG files as the board writes its captures: 8-bit RGB (colour type 2), no
// interlacing, every row with filter type 0, the image data as a zlib stream
// of stored (uncompressed) deflate blocks.
#pragma once

#include <string>
#include <string_view>

namespace z4::sim {

// The file's bytes for a picture of `width` x `height` pixels given as rows
// from the top, three bytes (R, G, B) per pixel. Empty when the sizes are not
// positive or `rgb` does not hold exactly that many pixels.
std::string PngFile(int width, int height, std::string_view rgb);

}  // namespace z4::sim
