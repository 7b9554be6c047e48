#pragma once

#include <chrono>
#include <optional>

namespace fw {

// When a supervised program is started again: not after it ended normally (exit code 0);
// otherwise after 1 s, then twice as long each time it fails again, at most a minute. A run
// that lasted longer than the longest wait starts the count over. A program that ends with
// AtOnceExitCode asked for the restart itself (to give its memory back): it starts again at
// once, and the count starts over.
class TRestartBackoff {
 public:
  static constexpr int AtOnceExitCode = 75;
  static constexpr std::chrono::seconds First{1};
  static constexpr std::chrono::seconds Longest{60};

  [[nodiscard]] std::optional<std::chrono::seconds> Ended(int exitCode,
                                                          std::chrono::steady_clock::duration ran);

 private:
  std::chrono::seconds next_ = First;
};

}  // namespace fw
