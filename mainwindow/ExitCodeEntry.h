#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <utility>

// What the digits pad that guards the way out decides: the digits typed so far (counted, never
// shown), when they are checked against the code, and when the pad has waited long enough.
class ExitCodeEntry {
 public:
  using Clock = std::chrono::steady_clock;
  // A pad left alone this long gives way to the kiosk, so it cannot block the next visitor.
  static constexpr Clock::duration QuietLimit = std::chrono::seconds(30);

  enum class Verdict { Typing, Right, Wrong };

  // An empty code guards nothing.
  explicit ExitCodeEntry(std::string code = {}) : code_(std::move(code)) {}
  bool Guards() const { return !code_.empty(); }

  // The pad opens: nothing typed, and the idle time starts.
  void Start(Clock::time_point now);
  // Once as many digits as the code has are typed they are checked, and forgotten either way:
  // a wrong code is known only at its full length, so the pad tells nothing of its prefixes.
  Verdict Digit(char digit, Clock::time_point now);
  void Erase(Clock::time_point now);
  std::size_t Typed() const { return typed_.size(); }

  bool TimedOut(Clock::time_point now) const { return now - lastInput_ >= QuietLimit; }
  Clock::duration Remaining(Clock::time_point now) const;

 private:
  std::string code_;
  std::string typed_;
  Clock::time_point lastInput_{};
};
