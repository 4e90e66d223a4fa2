// The picture the board captures in its self-test: four plain quadrants that a
// test can recognise on screen, whatever scaling the viewer applies.
//
//   red (255,0,0)   | green (0,255,0)
//   ----------------+-------------------
//   blue (0,0,255)  | yellow (255,255,0)
#pragma once

#include <cstdint>
#include <string>

namespace z4::sim {

inline constexpr int kTestPatternWidth = 320;
inline constexpr int kTestPatternHeight = 240;

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
};

// The colour of pixel (x, y), x to the right and y down from the top-left
// corner; black outside the picture.
Rgb TestPatternColour(int x, int y);

// The whole picture, rows from the top, three bytes (R, G, B) per pixel.
std::string TestPatternPixels();

}  // namespace z4::sim
