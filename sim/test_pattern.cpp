#include "sim/test_pattern.h"

namespace z4::sim {

Rgb TestPatternColour(int x, int y) {
  if (x < 0 || y < 0 || x >= kTestPatternWidth || y >= kTestPatternHeight) return Rgb{};
  const bool right = x >= kTestPatternWidth / 2;
  const bool bottom = y >= kTestPatternHeight / 2;
  if (!bottom) return right ? Rgb{0, 255, 0} : Rgb{255, 0, 0};
  return right ? Rgb{255, 255, 0} : Rgb{0, 0, 255};
}

std::string TestPatternPixels() {
  std::string pixels;
  pixels.reserve(static_cast<std::size_t>(kTestPatternWidth) * kTestPatternHeight * 3);
  for (int y = 0; y < kTestPatternHeight; ++y) {
    for (int x = 0; x < kTestPatternWidth; ++x) {
      const Rgb c = TestPatternColour(x, y);
      pixels += static_cast<char>(c.r);
      pixels += static_cast<char>(c.g);
      pixels += static_cast<char>(c.b);
    }
  }
  return pixels;
}

}  // namespace z4::sim
