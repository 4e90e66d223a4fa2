// Whether a font about to be made would draw text as an existing one does.
#pragma once

#include <windows.h>

namespace z4::win32 {

// True when a font made from `wanted` would be the same font as `font`: the
// same face (letter case aside), height, width, weight, slant, underline,
// strike-out and character set. The quality setting may differ where it
// cannot change the drawing: for TrueType faces, default, draft and proof
// quality draw alike (they differ only in whether raster fonts are scaled).
bool DrawsAlike(HFONT font, const LOGFONTW& wanted);

}  // namespace z4::win32
