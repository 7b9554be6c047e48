#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fw {

// Straight (not premultiplied) 8-bit RGBA pixels, top row first.
struct TBitmap {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Rgba;
  bool Empty() const { return Width == 0 || Height == 0; }
};

// One pixel as the platforms blend it: premultiplied alpha in a native-endian 32-bit word,
// alpha in the top byte, then red, green and blue (B, G, R, A in memory on x86).
constexpr std::uint32_t PremultipliedBgra(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                          std::uint8_t a) {
  const std::uint32_t alpha = a;
  return (alpha << 24) | ((r * alpha / 255) << 16) | ((g * alpha / 255) << 8) | (b * alpha / 255);
}

// Writes the picture's pixels as PremultipliedBgra words, each row `stride` bytes after the
// one before (at least four bytes a pixel).
void WritePremultipliedBgra(const TBitmap& picture, std::uint8_t* rows, std::size_t stride);

}  // namespace fw
