#pragma once

#include <windows.h>

#include "framework/core/EventLog.h"
#include "framework/win32/Handles.h"

namespace fw::win32 {

// The program's source in the Application event log; the installer registers it with the
// executable as its message file.
inline constexpr wchar_t kEventSource[] = L"Duvuzezera WebMobClient";

// The event id as the message table numbers it: the catalogue's id with the severity's bits.
DWORD EventId(const fw::TEventText& event);

using UniqueEventSource = UniqueHandle<HANDLE, DeregisterEventSource>;

// Each event in the Application event log under kEventSource, its detail as the one string
// the message table's text takes.
class SystemLog : public fw::TLogSink {
 public:
  SystemLog();
  ~SystemLog() override;
  SystemLog(const SystemLog&) = delete;
  SystemLog& operator=(const SystemLog&) = delete;

  void Write(const fw::TEventText& event, std::string_view detail) override;

 private:
  UniqueEventSource source_;
};

}  // namespace fw::win32
