#include "framework/core/FrozenWindowWatch.h"

namespace fw {

void TFrozenWindowWatch::Answered() { firstUnanswered_.reset(); }

bool TFrozenWindowWatch::Unanswered(Clock::time_point asked, Clock::time_point gaveUp) {
  if (!firstUnanswered_) firstUnanswered_ = asked;
  return gaveUp - *firstUnanswered_ >= limit_;
}

}  // namespace fw
