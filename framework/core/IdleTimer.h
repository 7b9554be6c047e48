#pragma once

#include <chrono>
#include <optional>
#include <set>

#include "framework/core/Geometry.h"

namespace fw {

// What one input message does to a key, a mouse button or a touch point.
enum class TInputEdge { Press, Release, Other };

// The rule of a quiet spell: once armed, it falls due when no input has arrived for the whole
// timeout and nothing is held down. Times are given by the caller, so any clock will do.
class TIdleTimer {
 public:
  using Clock = std::chrono::steady_clock;

  // Any input starts the spell again. `source` names what is pressed or released (a key, a
  // button, a touch point); a press repeated while held is still one hold.
  void Input(TInputEdge edge, int source, Clock::time_point now);
  // The pointer is at `at`: input only when it has moved, since the system also reports a
  // pointer that stands still while windows change under it.
  void PointerAt(TPoint at, Clock::time_point now);

  // The spell starts now and lasts `timeout`.
  void Arm(Clock::duration timeout, Clock::time_point now);
  void Disarm() { armed_ = false; }
  bool Armed() const { return armed_; }

  bool Due(Clock::time_point now) const;
  // How long from `now` until it can fall due without further input; while something is
  // held, a whole timeout (the release is input and starts the spell again anyway).
  Clock::duration Remaining(Clock::time_point now) const;

 private:
  bool armed_ = false;
  Clock::duration timeout_{};
  Clock::time_point lastInput_{};
  std::set<int> held_;
  std::optional<TPoint> pointer_;
};

}  // namespace fw
