#include "framework/core/DisplaySleep.h"

#include <algorithm>

namespace fw {

void TDisplaySleep::Start(TRules rules, Steady::time_point now, Wall::time_point wallNow,
                          TLocalWeekMinute local) {
  rules_ = std::move(rules);
  local_ = std::move(local);
  started_ = true;
  splash_ = true;
  off_ = TDisplayOff::No;
  inHours_ = rules_.Hours.IsOn(local_(wallNow));
  if (!inHours_) off_ = TDisplayOff::Hours;
  Arm(now);
}

void TDisplaySleep::Arm(Steady::time_point now) {
  if (!inHours_) {
    quiet_.Arm(rules_.WakeFor(), now);
  } else if (rules_.OffAfter.count() > 0 && (splash_ || !rules_.IdleReset)) {
    quiet_.Arm(rules_.OffAfter, now);
  } else {
    quiet_.Disarm();
  }
}

bool TDisplaySleep::Input(TInputEdge edge, TInputSource source, Steady::time_point now) {
  if (!started_) return false;
  bool swallow = swallowing_ || off_ != TDisplayOff::No;
  if (off_ != TDisplayOff::No && edge == TInputEdge::Press) {
    off_ = TDisplayOff::No;
    swallowing_ = true;
  }
  quiet_.Input(edge, source, now);
  if (!quiet_.Holding()) swallowing_ = false;
  return swallow;
}

void TDisplaySleep::PointerAt(TPoint at, Steady::time_point now) {
  // A pointer that moves does not wake the display, nor keep it on once it is off.
  if (started_ && off_ == TDisplayOff::No) quiet_.PointerAt(at, now);
}

void TDisplaySleep::SoundPlaying(bool playing, Steady::time_point now) {
  if (started_) quiet_.SoundPlaying(playing, now);
}

void TDisplaySleep::SplashShows(bool shows, Steady::time_point now) {
  if (!started_ || shows == splash_) return;
  splash_ = shows;
  if (inHours_) Arm(now);
}

TDisplayOff TDisplaySleep::Update(Steady::time_point now, Wall::time_point wallNow) {
  if (!started_) return off_;
  const bool inHours = rules_.Hours.IsOn(local_(wallNow));
  if (inHours != inHours_) {
    inHours_ = inHours;
    off_ = inHours ? TDisplayOff::No : TDisplayOff::Hours;
    swallowing_ = false;
    Arm(now);
  }
  if (off_ == TDisplayOff::No && quiet_.Due(now))
    off_ = inHours_ ? TDisplayOff::Idle : TDisplayOff::Hours;
  return off_;
}

std::optional<TDisplaySleep::Steady::duration> TDisplaySleep::NextChange(
    Steady::time_point now, Wall::time_point wallNow) const {
  if (!started_) return std::nullopt;
  std::optional<Steady::duration> next;
  if (off_ == TDisplayOff::No && quiet_.Armed()) next = quiet_.Remaining(now);
  if (const auto change = rules_.Hours.NextChange(wallNow, local_)) {
    // The wall clock may be set meanwhile: look again within the hour.
    const Steady::duration untilChange =
        std::min<Steady::duration>(*change - wallNow, std::chrono::hours(1));
    next = std::min(next.value_or(untilChange), untilChange);
  }
  return next;
}

}  // namespace fw
