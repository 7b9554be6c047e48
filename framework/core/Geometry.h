#pragma once

#include <cstdint>
#include <limits>

namespace fw {

// a + b, held at the limits of int instead of overflowing.
constexpr int SaturatingAdd(int a, int b) {
  const std::int64_t sum = std::int64_t{a} + b;
  if (sum > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (sum < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(sum);
}

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Left, top, width and height, as the layout speaks of bounds.
struct TBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int Right() const { return SaturatingAdd(Left, Width); }
  int Bottom() const { return SaturatingAdd(Top, Height); }
  bool Contains(TPoint p) const {
    return p.X >= Left && p.X < Right() && p.Y >= Top && p.Y < Bottom();
  }
  friend bool operator==(const TBounds&, const TBounds&) = default;
};

}  // namespace fw
