#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/Metrics.h"

namespace fw {

// Keeps the metrics file of a textfile collector current: written at start, after every
// change (at the next tick, so that a burst of changes is one write) and every Period
// otherwise. The backend supplies the atomic replace, the memory reading and a tick about
// once a second from its main loop; the tick is the loop's heartbeat.
class TMetricsFile {
 public:
  using Clock = TMetrics::Clock;
  static constexpr std::chrono::seconds Period{15};

  struct TBackend {
    // Replaces `path` with `content` whole, or throws with the reason.
    std::function<void(const std::string& path, const std::string& content)> Replace;
    // The memory figures of the moment; may be empty.
    std::function<std::vector<TMemoryFigure>()> ReadMemory;
  };

  TMetricsFile(std::string path, TMetrics& metrics, TBackend backend);

  // The first write. Its failure is returned, as a setting's problem for the box at start;
  // nothing is logged for it.
  [[nodiscard]] std::optional<std::string> Start(Clock::time_point now);
  // Writes when a change or the period is due. A failure is logged once; the next success
  // ends the spell, and a later failure is logged again.
  void Tick(Clock::time_point now);

  const std::string& Path() const { return path_; }

 private:
  // The failure's reason; nothing when written.
  std::optional<std::string> Write(Clock::time_point now);

  std::string path_;
  TMetrics& metrics_;
  TBackend backend_;
  std::uint64_t written_ = 0;  // the metrics' changes the last attempt held
  std::optional<Clock::time_point> lastAttempt_;
  bool failing_ = false;
};

}  // namespace fw
