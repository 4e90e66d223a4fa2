// "Level.bmp": the CCD level graph window's client area as a 24-bit Windows
// bitmap file, rows stored bottom-up, three bytes per pixel (blue, green, red).
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"

namespace z4 {

// The part of the client area that is saved: rows 1 to 540, columns 0 to 1099.
inline constexpr int kLevelBitmapWidth = 1100;
inline constexpr int kLevelBitmapHeight = 540;

// The file's bytes for `rows` (width x height colours, the top row first).
// Points that were not visible (kInvalidColour) are white.
std::string EncodeLevelBitmap(const std::vector<Colour>& rows, int width, int height);

}  // namespace z4
