#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "framework/core/MetricsFile.h"

namespace fw::win32 {

// Writes `content` to a temporary file beside `path`, then moves it over `path`: a collector
// reading the folder never sees half a file. Throws with the reason.
void ReplaceFile(const std::string& path, const std::string& content);

// The metrics file kept by the message loop: a tick a second, which is also the loop's
// heartbeat. One a process: the tick's timer has no window to carry its owner.
class MetricsFileKeeper {
 public:
  MetricsFileKeeper(const std::string& path, fw::TMetrics& metrics);
  ~MetricsFileKeeper();
  MetricsFileKeeper(const MetricsFileKeeper&) = delete;
  MetricsFileKeeper& operator=(const MetricsFileKeeper&) = delete;

  // The first write, then the ticks; the first write's failure, if it failed.
  [[nodiscard]] std::optional<std::string> Start();

 private:
  static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);

  fw::TMetricsFile file_;
  UINT_PTR timer_ = 0;
};

}  // namespace fw::win32
