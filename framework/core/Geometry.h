#pragma once

namespace fw {

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
  int Right() const { return Left + Width; }
  int Bottom() const { return Top + Height; }
  bool Contains(TPoint p) const {
    return p.X >= Left && p.X < Right() && p.Y >= Top && p.Y < Bottom();
  }
  friend bool operator==(const TBounds&, const TBounds&) = default;
};

}  // namespace fw
