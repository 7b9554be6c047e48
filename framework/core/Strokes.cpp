#include "framework/core/Strokes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace fw {

void TStrokeSampler::Press(TPoint at) { samples_.assign(1, at); }

void TStrokeSampler::Move(TPoint to) {
  if (samples_.empty()) return;
  const TPoint last = samples_.back();
  const int dx = std::abs(to.X - last.X), dy = std::abs(to.Y - last.Y);
  if (dx < 5 && dy < 5) return;
  if (dx > 8 || dy > 8) {
    const int n = std::max((dx - 1) / 5, (dy - 1) / 5);
    for (int i = 1; i < n; ++i) {
      samples_.push_back({last.X + (to.X - last.X) * i / n, last.Y + (to.Y - last.Y) * i / n});
    }
  }
  samples_.push_back(to);
}

TStrokeVerdict RecognizeStroke(const std::vector<TPoint>& samples) {
  if (samples.size() < 3) return TStrokeVerdict::TooShort;
  const TPoint first = samples.front(), last = samples.back();
  const int rise = first.Y - last.Y;
  const int drift = last.X - first.X;
  if (rise < kSwipeMinimumLength || 2 * std::abs(drift) > rise) return TStrokeVerdict::NoGesture;
  const double length = std::hypot(static_cast<double>(drift), static_cast<double>(rise));
  const double corridor = std::max<double>(kSwipeCorridor, rise / 5.0);
  for (const TPoint& p : samples) {
    // Distance of p from the line through first and last.
    const double cross =
        static_cast<double>(p.X - first.X) * -rise - static_cast<double>(p.Y - first.Y) * drift;
    if (std::abs(cross) / length > corridor) return TStrokeVerdict::NoGesture;
    // Nor may the stroke run on below its start or above its end.
    if (p.Y > first.Y + corridor || p.Y < last.Y - corridor) return TStrokeVerdict::NoGesture;
  }
  return TStrokeVerdict::SwipeUp;
}

}  // namespace fw
