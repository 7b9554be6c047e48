#include "framework/core/EventLog.h"

#include <array>

namespace fw {

namespace {

constexpr std::array kEvents{
    TEventText{TEvent::ProgramFrozen, TSeverity::Warning, "MSG_PROGRAM_FROZEN",
               "The program answered nothing and was ended to be started again: %1"},
    TEventText{TEvent::Started, TSeverity::Info, "MSG_STARTED", "Started; settings from: %1"},
    TEventText{TEvent::SettingsProblem, TSeverity::Warning, "MSG_SETTINGS_PROBLEM",
               "A setting was refused: %1"},
    TEventText{TEvent::PageFailed, TSeverity::Warning, "MSG_PAGE_FAILED",
               "A page could not be loaded: %1"},
    TEventText{TEvent::RetryDropped, TSeverity::Info, "MSG_RETRY_DROPPED",
               "The retry of a page that could not be loaded was given up: %1"},
    TEventText{TEvent::WebProcessCrashed, TSeverity::Error, "MSG_WEB_PROCESS_CRASHED",
               "The page's web process ended unexpectedly: %1"},
    TEventText{TEvent::HangEnded, TSeverity::Warning, "MSG_HANG_ENDED",
               "A page stopped answering and its web process was ended: %1"},
    TEventText{TEvent::GaveUp, TSeverity::Error, "MSG_GAVE_UP",
               "The page's web process kept dying; the splash shows until the next tap: %1"},
    TEventText{TEvent::IdleReset, TSeverity::Info, "MSG_IDLE_RESET",
               "Nobody used the kiosk; back to the splash for the next visitor: %1"},
    TEventText{TEvent::Restarted, TSeverity::Warning, "MSG_RESTARTED",
               "The program ended and is started again: %1"},
    TEventText{TEvent::Exited, TSeverity::Info, "MSG_EXITED", "The program ends: %1"},
    TEventText{TEvent::MetricsNotWritten, TSeverity::Warning, "MSG_METRICS_NOT_WRITTEN",
               "The metrics file cannot be written: %1"},
    TEventText{TEvent::DisplayOff, TSeverity::Info, "MSG_DISPLAY_OFF",
               "The display was switched off: %1"},
    TEventText{TEvent::DisplayOn, TSeverity::Info, "MSG_DISPLAY_ON",
               "The display was switched on: %1"},
    TEventText{TEvent::OverMemoryLimit, TSeverity::Warning, "MSG_OVER_MEMORY_LIMIT",
               "The program's memory was over its limit at an idle reset: %1"},
};

TLogSink* sink = nullptr;

}  // namespace

std::span<const TEventText> EventCatalogue() { return kEvents; }

const TEventText& EventText(TEvent event) {
  for (const TEventText& text : kEvents) {
    if (text.Event == event) return text;
  }
  return kEvents.front();  // unreachable: every event has its row
}

std::string EventLine(TEvent event, std::string_view detail) {
  const std::string_view text = EventText(event).Text;
  const std::size_t at = text.find("%1");
  if (at == std::string_view::npos) return std::string(text);
  return std::string(text.substr(0, at)) + std::string(detail) + std::string(text.substr(at + 2));
}

void SetLogSink(TLogSink* newSink) { sink = newSink; }

void LogEvent(TEvent event, std::string_view detail) {
  if (!sink) return;
  try {
    sink->Write(EventText(event), detail);
  } catch (...) {  // NOLINT(bugprone-empty-catch): see the declaration
  }
}

}  // namespace fw
