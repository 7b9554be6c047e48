#pragma once

#include <chrono>
#include <optional>
#include <set>

#include "framework/core/Geometry.h"
#include "framework/core/InputSource.h"

namespace fw {

// Where a quiet spell stands: running, in its closing warning, or over.
enum class TIdlePhase { Quiet, Warning, Due };

// The rule of a quiet spell: once armed, it falls due when no input has arrived for the whole
// timeout, nothing is held down and no sound plays. Its last `warning` is the warning phase.
// Times are given by the caller, so any clock will do.
class TIdleTimer {
 public:
  using Clock = std::chrono::steady_clock;

  // Any input starts the spell again. `source` names what is pressed or released (a key, a
  // button, a touch point); a press repeated while held is still one hold.
  void Input(TInputEdge edge, TInputSource source, Clock::time_point now);
  // The pointer is at `at`: input only when it has moved, since the system also reports a
  // pointer that stands still while windows change under it.
  void PointerAt(TPoint at, Clock::time_point now);
  // Sound holds the spell off like a held key; when it stops, the spell starts again.
  void SoundPlaying(bool playing, Clock::time_point now);

  // The spell starts now and lasts `timeout`, of which the last `warning` (at most all of it)
  // is the warning phase.
  void Arm(Clock::duration timeout, Clock::time_point now) { Arm(timeout, {}, now); }
  void Arm(Clock::duration timeout, Clock::duration warning, Clock::time_point now);
  void Disarm() { armed_ = false; }
  bool Armed() const { return armed_; }
  // Something is held down or sound plays: the spell cannot end.
  bool Holding() const { return !held_.empty() || playing_; }

  TIdlePhase Phase(Clock::time_point now) const;
  bool Due(Clock::time_point now) const { return Phase(now) == TIdlePhase::Due; }
  // How long from `now` until it can fall due without further input; while held, a whole
  // timeout (the release is input and starts the spell again anyway).
  Clock::duration Remaining(Clock::time_point now) const;
  // Whole seconds until it falls due, rounded up: the warning's count.
  int SecondsLeft(Clock::time_point now) const;
  // How long from `now` until the phase or the warning's count can next change.
  Clock::duration NextChange(Clock::time_point now) const;

 private:
  bool armed_ = false;
  bool playing_ = false;
  Clock::duration timeout_{};
  Clock::duration warning_{};
  Clock::time_point lastInput_{};
  std::set<TInputSource> held_;
  std::optional<TPoint> pointer_;
};

}  // namespace fw
