#pragma once

#include <vector>

#include "framework/core/Geometry.h"

namespace fw {

// Samples a left-button stroke: one sample at the press; after it, a move only when it
// lies 5 pixels or more from the last sample along at least one axis. A recorded move more
// than 8 pixels away along either axis first gets n - 1 evenly spaced samples in between,
// n being the larger over the two axes of (distance - 1) div 5.
class TStrokeSampler {
 public:
  void Press(TPoint at);
  void Move(TPoint to);
  const std::vector<TPoint>& Samples() const { return samples_; }

 private:
  std::vector<TPoint> samples_;
};

enum class TStrokeVerdict {
  TooShort,   // fewer than three samples: a click, which raises nothing
  NoGesture,  // a stroke that matches no gesture
  SwipeUp,    // a straight stroke upward
};

// The swipe-up rule, in screen pixels (y grows downward). A stroke is a swipe-up when
//  - it has three samples or more,
//  - it ends at least kSwipeMinimumLength above where it began,
//  - it drifts sideways by at most half of that rise (within about 27 degrees of vertical),
//  - and no sample strays further than kSwipeCorridor or a fifth of the rise, whichever is
//    more, from the straight line between its first and last samples.
inline constexpr int kSwipeMinimumLength = 50;
inline constexpr int kSwipeCorridor = 12;
TStrokeVerdict RecognizeStroke(const std::vector<TPoint>& samples);

}  // namespace fw
