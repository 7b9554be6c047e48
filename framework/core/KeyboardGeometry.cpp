#include "framework/core/KeyboardGeometry.h"

#include <algorithm>

#include "framework/core/Scaling.h"

namespace fw {

int KeyboardHeight(int pixelsPerInch) {
  return KeyboardRows * ScaleToDpi(KeyHeightDesign, pixelsPerInch) +
         (KeyboardRows + 1) * ScaleToDpi(KeyGapDesign, pixelsPerInch);
}

std::vector<TKeyPlace> PlaceKeys(const std::vector<TKeyRow>& rows, int width, int pixelsPerInch) {
  const int gap = ScaleToDpi(KeyGapDesign, pixelsPerInch);
  const int height = ScaleToDpi(KeyHeightDesign, pixelsPerInch);
  const int minimum = ScaleToDpi(KeyMinimumDesign, pixelsPerInch);
  // A half unit's share of the width with one gap per key; a narrow screen keeps the keys
  // at their minimum, and the rows then overhang its edges evenly.
  const double halfUnit = std::max(static_cast<double>(width - gap) / KeyboardHalfUnitsAcross,
                                   static_cast<double>(minimum + gap + 1) / 2);
  std::vector<TKeyPlace> places;
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    int halves = 0;
    for (const TKeySpec& key : rows[r]) halves += key.HalfUnits;
    const double rowWidth = halves * halfUnit;
    double left = gap + (width - gap - rowWidth) / 2;
    const int top = gap + r * (height + gap);
    for (int i = 0; i < static_cast<int>(rows[r].size()); ++i) {
      const double right = left + rows[r][i].HalfUnits * halfUnit;
      const int x = static_cast<int>(left + 0.5);
      places.push_back({r, i, {x, top, static_cast<int>(right + 0.5) - gap - x, height}});
      left = right;
    }
  }
  return places;
}

const TKeyPlace* KeyAt(const std::vector<TKeyPlace>& places, TPoint at) {
  for (const TKeyPlace& place : places) {
    if (place.Bounds.Contains(at)) return &place;
  }
  return nullptr;
}

}  // namespace fw
