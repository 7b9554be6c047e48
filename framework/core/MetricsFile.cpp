#include "framework/core/MetricsFile.h"

#include <exception>

#include "framework/core/EventLog.h"

namespace fw {

TMetricsFile::TMetricsFile(std::string path, TMetrics& metrics, TBackend backend)
    : path_(std::move(path)), metrics_(metrics), backend_(std::move(backend)) {}

std::optional<std::string> TMetricsFile::Write(Clock::time_point now) {
  lastAttempt_ = now;
  written_ = metrics_.Changes();
  try {
    metrics_.Heartbeat(now);
    if (backend_.ReadMemory) metrics_.SetMemory(backend_.ReadMemory());
    backend_.Replace(path_, metrics_.Exposition());
    return std::nullopt;
  } catch (const std::exception& e) {
    return std::string(e.what());
  } catch (...) {
    return std::string("unknown error");
  }
}

std::optional<std::string> TMetricsFile::Start(Clock::time_point now) {
  std::optional<std::string> failure = Write(now);
  failing_ = failure.has_value();
  if (failure) return path_ + " cannot be written (" + *failure + ")";
  return std::nullopt;
}

void TMetricsFile::Tick(Clock::time_point now) {
  metrics_.Heartbeat(now);
  // A clock set back is no reason to wait a whole period.
  const bool periodOver = !lastAttempt_ || now - *lastAttempt_ >= Period || now < *lastAttempt_;
  if (metrics_.Changes() == written_ && !periodOver) return;
  const std::optional<std::string> failure = Write(now);
  if (failure && !failing_) LogEvent(TEvent::MetricsNotWritten, path_ + ": " + *failure);
  failing_ = failure.has_value();
}

}  // namespace fw
