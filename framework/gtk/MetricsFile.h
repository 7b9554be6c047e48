#pragma once

#include <optional>
#include <string>

#include "framework/core/MetricsFile.h"
#include "framework/gtk/Handles.h"

namespace fw::gtk {

// Writes `content` to a temporary file beside `path`, then renames it over `path`: a
// collector reading the folder never sees half a file. Throws with the reason.
void ReplaceFile(const std::string& path, const std::string& content);

// The metrics file kept by the main loop: a tick a second, which is also the loop's heartbeat.
class MetricsFileKeeper {
 public:
  MetricsFileKeeper(const std::string& path, fw::TMetrics& metrics);
  MetricsFileKeeper(const MetricsFileKeeper&) = delete;
  MetricsFileKeeper& operator=(const MetricsFileKeeper&) = delete;

  // The first write, then the ticks; the first write's failure, if it failed.
  [[nodiscard]] std::optional<std::string> Start();

 private:
  static gboolean OnTick(gpointer self);

  fw::TMetricsFile file_;
  SourceId tick_;
};

}  // namespace fw::gtk
