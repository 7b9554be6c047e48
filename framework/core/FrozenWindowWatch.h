#pragma once

#include <chrono>
#include <optional>

namespace fw {

// Whether a window that is asked again and again if it still answers counts as frozen: once
// every question for `limit` in a row went unanswered, counted from the first of them. One
// answer starts the count over, so a window busy for a while (a long page load) is never
// frozen.
class TFrozenWindowWatch {
 public:
  using Clock = std::chrono::steady_clock;

  explicit TFrozenWindowWatch(Clock::duration limit) : limit_(limit) {}

  void Answered();
  // A question asked at `asked` had no answer by `gaveUp`; true once the window counts as frozen.
  [[nodiscard]] bool Unanswered(Clock::time_point asked, Clock::time_point gaveUp);

 private:
  Clock::duration limit_;
  std::optional<Clock::time_point> firstUnanswered_;
};

}  // namespace fw
