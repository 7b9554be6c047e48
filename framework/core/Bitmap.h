#pragma once

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

}  // namespace fw
