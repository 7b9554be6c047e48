#include "framework/gtk/SystemLog.h"

#include <cstdio>
#include <string>

namespace fw::gtk {

SystemLog::SystemLog() { fw::SetLogSink(this); }

SystemLog::~SystemLog() { fw::SetLogSink(nullptr); }

void SystemLog::Write(const fw::TEventText& event, std::string_view detail) {
  std::string line = "<";
  line.append(std::to_string(static_cast<int>(event.Severity))).append(">");
  line.append(fw::EventLine(event.Event, detail));
  // One record a line: a detail's own line breaks would start records without a priority.
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  line += '\n';
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

}  // namespace fw::gtk
