#include "framework/core/HangRecovery.h"

namespace fw {

THangStep THangRecovery::Unresponsive() {
  if (navigationWaits_) {
    navigationWaits_ = false;
    return THangStep::EndAndNavigate;
  }
  hung_ = true;
  return THangStep::None;
}

bool THangRecovery::Navigating() {
  const bool hung = hung_;
  hung_ = false;
  reloaded_ = false;
  navigationWaits_ = !hung;
  return hung;
}

THangStep THangRecovery::PatienceOut() {
  if (!hung_) return THangStep::None;
  hung_ = false;
  if (reloaded_) {
    reloaded_ = false;
    return THangStep::EndAndBlank;
  }
  reloaded_ = true;
  return THangStep::EndAndReload;
}

}  // namespace fw
