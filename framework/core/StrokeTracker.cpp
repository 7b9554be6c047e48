#include "framework/core/StrokeTracker.h"

namespace fw {

void TStrokeTracker::Press(TPoint at) {
  sampler_.Press(at);
  tracking_ = true;
}

void TStrokeTracker::Move(TPoint to) {
  if (tracking_) sampler_.Move(to);
}

TStrokeVerdict TStrokeTracker::Release(TPoint at) {
  if (!tracking_) return TStrokeVerdict::TooShort;
  tracking_ = false;
  sampler_.Move(at);
  return RecognizeStroke(sampler_.Samples());
}

}  // namespace fw
