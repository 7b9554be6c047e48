#pragma once

#include "framework/core/EventLog.h"

namespace fw::gtk {

// Each event a line on standard error with its sd-daemon priority prefix ("<4>"): under the
// user unit the journal stores it with that priority.
class SystemLog : public fw::TLogSink {
 public:
  SystemLog();
  ~SystemLog() override;
  SystemLog(const SystemLog&) = delete;
  SystemLog& operator=(const SystemLog&) = delete;

  void Write(const fw::TEventText& event, std::string_view detail) override;
};

}  // namespace fw::gtk
