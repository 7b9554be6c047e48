#include "framework/core/IdleTimer.h"

#include <algorithm>

namespace fw {

using namespace std::chrono_literals;

void TIdleTimer::Input(TInputEdge edge, TInputSource source, Clock::time_point now) {
  if (edge == TInputEdge::Press) held_.insert(source);
  if (edge == TInputEdge::Release) held_.erase(source);
  lastInput_ = now;
}

void TIdleTimer::PointerAt(TPoint at, Clock::time_point now) {
  if (pointer_ == at) return;
  pointer_ = at;
  lastInput_ = now;
}

void TIdleTimer::SoundPlaying(bool playing, Clock::time_point now) {
  if (playing == playing_) return;
  playing_ = playing;
  lastInput_ = now;
}

void TIdleTimer::Arm(Clock::duration timeout, Clock::duration warning, Clock::time_point now) {
  armed_ = true;
  timeout_ = timeout;
  warning_ = std::clamp(warning, Clock::duration::zero(), timeout);
  lastInput_ = now;
}

TIdlePhase TIdleTimer::Phase(Clock::time_point now) const {
  if (!armed_ || Holding()) return TIdlePhase::Quiet;
  const Clock::duration left = Remaining(now);
  if (left == Clock::duration::zero()) return TIdlePhase::Due;
  return left <= warning_ ? TIdlePhase::Warning : TIdlePhase::Quiet;
}

TIdleTimer::Clock::duration TIdleTimer::Remaining(Clock::time_point now) const {
  if (Holding()) return timeout_;
  return std::max(Clock::duration::zero(), lastInput_ + timeout_ - now);
}

int TIdleTimer::SecondsLeft(Clock::time_point now) const {
  return static_cast<int>(std::chrono::ceil<std::chrono::seconds>(Remaining(now)).count());
}

TIdleTimer::Clock::duration TIdleTimer::NextChange(Clock::time_point now) const {
  if (Holding()) return timeout_;
  const Clock::duration left = Remaining(now);
  if (left > warning_) return left - warning_;
  // In the warning the count goes down at each whole second before the end.
  return left - (SecondsLeft(now) - 1) * Clock::duration(1s);
}

}  // namespace fw
