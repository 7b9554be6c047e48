#include "framework/core/IdleTimer.h"

#include <algorithm>

namespace fw {

void TIdleTimer::Input(TInputEdge edge, int source, Clock::time_point now) {
  if (edge == TInputEdge::Press) held_.insert(source);
  if (edge == TInputEdge::Release) held_.erase(source);
  lastInput_ = now;
}

void TIdleTimer::PointerAt(TPoint at, Clock::time_point now) {
  if (pointer_ == at) return;
  pointer_ = at;
  lastInput_ = now;
}

void TIdleTimer::Arm(Clock::duration timeout, Clock::time_point now) {
  armed_ = true;
  timeout_ = timeout;
  lastInput_ = now;
}

bool TIdleTimer::Due(Clock::time_point now) const {
  return armed_ && held_.empty() && now - lastInput_ >= timeout_;
}

TIdleTimer::Clock::duration TIdleTimer::Remaining(Clock::time_point now) const {
  if (!held_.empty()) return timeout_;
  return std::max(Clock::duration::zero(), lastInput_ + timeout_ - now);
}

}  // namespace fw
