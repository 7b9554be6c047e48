#pragma once

#include <chrono>
#include <optional>

#include "framework/core/DisplayHours.h"
#include "framework/core/IdleTimer.h"

namespace fw {

// Why the display is off.
enum class TDisplayOff { No, Idle, Hours };

// When the display goes off and what wakes it. Inside the hours it goes off once nobody has
// used the kiosk for `OffAfter` while the splash shows (or at all, with no idle reset to
// bring the splash back). Outside them it is off, and a press wakes it until nobody has used
// it for `WakeFor`. The press that wakes it, and the rest of that press, go nowhere else.
class TDisplaySleep {
 public:
  using Steady = TIdleTimer::Clock;
  using Wall = std::chrono::system_clock;

  struct TRules {
    std::chrono::seconds OffAfter{};  // 0: never off inside the hours
    TDisplayHours Hours;
    bool IdleReset = false;  // whether an idle reset brings the splash back
    // How long a press outside the hours keeps the display on.
    std::chrono::seconds WakeFor() const {
      return OffAfter.count() > 0 ? OffAfter : std::chrono::seconds(300);
    }
  };

  // Starts the rules now, the splash showing.
  void Start(TRules rules, Steady::time_point now, Wall::time_point wallNow,
             TLocalWeekMinute local);
  bool Started() const { return started_; }

  // True: the input must go no further (it woke the display, or came while it was off, or
  // belongs to the press that woke it).
  [[nodiscard]] bool Input(TInputEdge edge, TInputSource source, Steady::time_point now);
  void PointerAt(TPoint at, Steady::time_point now);
  void SoundPlaying(bool playing, Steady::time_point now);
  // The splash shows (true) or something the visitor asked for does.
  void SplashShows(bool shows, Steady::time_point now);

  // Applies the clocks; what the display should be now.
  TDisplayOff Update(Steady::time_point now, Wall::time_point wallNow);
  TDisplayOff Off() const { return off_; }
  // How long from now until Update may say something else, with no input meanwhile.
  std::optional<Steady::duration> NextChange(Steady::time_point now,
                                             Wall::time_point wallNow) const;

 private:
  void Arm(Steady::time_point now);

  bool started_ = false;
  TRules rules_;
  TLocalWeekMinute local_;
  TIdleTimer quiet_;
  bool inHours_ = true;
  bool splash_ = true;
  bool swallowing_ = false;
  TDisplayOff off_ = TDisplayOff::No;
};

}  // namespace fw
