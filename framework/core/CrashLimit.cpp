#include "framework/core/CrashLimit.h"

namespace fw {

bool TCrashLimit::AllowsReload(Clock::time_point now) {
  while (!recent_.empty() && now - recent_.front() >= Window) recent_.pop_front();
  recent_.push_back(now);
  if (static_cast<int>(recent_.size()) < MaxDeaths) return true;
  recent_.clear();
  return false;
}

}  // namespace fw
