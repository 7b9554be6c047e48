#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace fw {

// The events an operator acts on, one line each in the system's log. The numbers are the
// Windows event ids of the executable's message table (resources/EventMessages.mc): never
// renumber one.
enum class TEvent : std::uint16_t {
  ProgramFrozen = 1,
  Started = 2,
  SettingsProblem = 3,
  PageFailed = 4,
  RetryDropped = 5,
  WebProcessCrashed = 6,
  HangEnded = 7,
  GaveUp = 8,
  IdleReset = 9,
  Restarted = 10,
  Exited = 11,
  MetricsNotWritten = 12,
  DisplayOff = 13,
  DisplayOn = 14,
  OverMemoryLimit = 15,
};

// The levels of syslog and of the journal; the Windows event types follow them.
enum class TSeverity { Error = 3, Warning = 4, Info = 6 };

struct TEventText {
  TEvent Event;
  TSeverity Severity;
  std::string_view Symbol;  // the message table's name
  // With %1 where the event's detail goes.
  std::string_view Text;
};

std::span<const TEventText> EventCatalogue();
const TEventText& EventText(TEvent event);
// The event's line with its detail in place of %1.
std::string EventLine(TEvent event, std::string_view detail);

// Where a backend puts the lines: standard error for the journal, the Windows event log.
class TLogSink {
 public:
  virtual ~TLogSink() = default;
  virtual void Write(const TEventText& event, std::string_view detail) = 0;
};

// The process's sink; none (the default) drops every event.
void SetLogSink(TLogSink* sink);
// Never throws: a log that cannot be written is no reason to stop a kiosk.
void LogEvent(TEvent event, std::string_view detail = {});

}  // namespace fw
