#pragma once

#include <chrono>
#include <deque>

namespace fw {

// How often the page's engine may die before the program stops bringing the page back: a
// third death within a minute ends the attempts.
class TCrashLimit {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int MaxDeaths = 3;
  static constexpr std::chrono::minutes Window{1};

  // The engine died at `now`. True: load the page again; false: give up, and the count
  // starts over.
  [[nodiscard]] bool AllowsReload(Clock::time_point now);

 private:
  std::deque<Clock::time_point> recent_;
};

}  // namespace fw
