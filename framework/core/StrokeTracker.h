#pragma once

#include <vector>

#include "framework/core/Geometry.h"
#include "framework/core/Strokes.h"

namespace fw {

// One surface's left-button stroke from press to release, as a backend feeds it: the press,
// the moves and the release in screen pixels, or a cancel when another window takes the
// pointer. The release says whether the stroke is a gesture; the backend dispatches it once
// the control has seen its release, so a click stays a click.
class TStrokeTracker {
 public:
  void Press(TPoint at);
  // Ignored while no stroke is under way.
  void Move(TPoint to);
  // Ends the stroke with its verdict; TooShort when none was under way.
  TStrokeVerdict Release(TPoint at);
  void Cancel() { tracking_ = false; }
  bool Tracking() const { return tracking_; }
  const std::vector<TPoint>& Samples() const { return sampler_.Samples(); }

 private:
  TStrokeSampler sampler_;
  bool tracking_ = false;
};

}  // namespace fw
