#include "framework/win32/SystemLog.h"

#include <string>

#include "framework/win32/Unicode.h"

namespace fw::win32 {

namespace {

WORD EventType(fw::TSeverity severity) {
  switch (severity) {
    case fw::TSeverity::Error:
      return EVENTLOG_ERROR_TYPE;
    case fw::TSeverity::Warning:
      return EVENTLOG_WARNING_TYPE;
    case fw::TSeverity::Info:
      return EVENTLOG_INFORMATION_TYPE;
  }
  return EVENTLOG_INFORMATION_TYPE;
}

// The top two bits of a message table's id: 1 informational, 2 warning, 3 error.
DWORD SeverityBits(fw::TSeverity severity) {
  switch (severity) {
    case fw::TSeverity::Error:
      return 3;
    case fw::TSeverity::Warning:
      return 2;
    case fw::TSeverity::Info:
      return 1;
  }
  return 1;
}

}  // namespace

DWORD EventId(const fw::TEventText& event) {
  return (SeverityBits(event.Severity) << 30) | static_cast<DWORD>(event.Event);
}

SystemLog::SystemLog() : source_(RegisterEventSourceW(nullptr, kEventSource)) {
  fw::SetLogSink(this);
}

SystemLog::~SystemLog() { fw::SetLogSink(nullptr); }

void SystemLog::Write(const fw::TEventText& event, std::string_view detail) {
  const std::wstring text = Widen(detail);
  const wchar_t* strings[] = {text.c_str()};
  if (!source_ || !ReportEventW(source_.get(), EventType(event.Severity), 0, EventId(event),
                                nullptr, 1, 0, strings, nullptr)) {
    // The kiosk matters more than its record.
    OutputDebugStringW(Widen(fw::EventLine(event.Event, detail)).c_str());
  }
}

}  // namespace fw::win32
