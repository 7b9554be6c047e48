#pragma once

#include <vector>

#include "framework/core/Geometry.h"
#include "framework/core/KeyboardLayouts.h"

namespace fw {

// Design lengths (96 pixels per inch), scaled like the rest of the layout.
inline constexpr int KeyHeightDesign = 56;
inline constexpr int KeyGapDesign = 6;
inline constexpr int KeyMinimumDesign = 48;

// The panel's height for a monitor of `pixelsPerInch`.
int KeyboardHeight(int pixelsPerInch);

struct TKeyPlace {
  int Row = 0;
  int Index = 0;
  TBounds Bounds;  // inside the panel, device pixels
};

// Where each key of `rows` lies in a panel `width` pixels wide: rows of equal height, each
// centred, a key as wide as its units of the panel's width, never narrower than the minimum.
std::vector<TKeyPlace> PlaceKeys(const std::vector<TKeyRow>& rows, int width, int pixelsPerInch);

// The key under `at` (panel coordinates), or none.
const TKeyPlace* KeyAt(const std::vector<TKeyPlace>& places, TPoint at);

}  // namespace fw
