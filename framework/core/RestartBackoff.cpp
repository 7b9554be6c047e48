#include "framework/core/RestartBackoff.h"

#include <algorithm>

namespace fw {

std::optional<std::chrono::seconds> TRestartBackoff::Ended(
    int exitCode, std::chrono::steady_clock::duration ran) {
  if (exitCode == 0) return std::nullopt;
  if (exitCode == AtOnceExitCode) {
    next_ = First;
    return std::chrono::seconds{0};
  }
  if (ran > Longest) next_ = First;
  const std::chrono::seconds wait = next_;
  next_ = std::min(next_ * 2, Longest);
  return wait;
}

}  // namespace fw
