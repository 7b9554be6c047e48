#include "mainwindow/ExitCodeEntry.h"

#include <algorithm>

void ExitCodeEntry::Start(Clock::time_point now) {
  typed_.clear();
  lastInput_ = now;
}

ExitCodeEntry::Verdict ExitCodeEntry::Digit(char digit, Clock::time_point now) {
  lastInput_ = now;
  if (digit < '0' || digit > '9' || !Guards()) return Verdict::Typing;
  typed_ += digit;
  if (typed_.size() < code_.size()) return Verdict::Typing;
  const bool right = typed_ == code_;
  typed_.clear();
  return right ? Verdict::Right : Verdict::Wrong;
}

void ExitCodeEntry::Erase(Clock::time_point now) {
  lastInput_ = now;
  if (!typed_.empty()) typed_.pop_back();
}

ExitCodeEntry::Clock::duration ExitCodeEntry::Remaining(Clock::time_point now) const {
  return std::max(QuietLimit - (now - lastInput_), Clock::duration::zero());
}
