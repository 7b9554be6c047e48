#include "framework/core/LoadRetry.h"

#include <algorithm>
#include <utility>

namespace fw {

TFailedLoadResponse RespondToFailedLoad(TLoadFailure failure, bool programAsked) {
  switch (failure) {
    case TLoadFailure::Replaced:
      return {};
    case TLoadFailure::AddressRefused:
      return {.Box = programAsked, .Retry = false};
    case TLoadFailure::Unreachable:
      return {.Box = false, .Retry = true};
  }
  return {};
}

void TLoadRetry::SetBase(std::chrono::seconds base) {
  base_ = base;
  Cancel();
}

std::optional<std::chrono::seconds> TLoadRetry::Failed(const std::string& url) {
  if (base_ <= std::chrono::seconds::zero()) return std::nullopt;
  // Doubling stops at the cap long before the factor could overflow.
  int factor = 1;
  for (int i = 0; i < attempts_ && factor < MaxFactor; ++i) factor *= 2;
  if (attempts_ < MaxFactor) ++attempts_;
  pending_ = url;
  return base_ * std::min(factor, MaxFactor);
}

std::optional<std::string> TLoadRetry::Due() { return std::exchange(pending_, std::nullopt); }

bool TLoadRetry::Cancel() {
  attempts_ = 0;
  return std::exchange(pending_, std::nullopt).has_value();
}

}  // namespace fw
