#include "framework/win32/MetricsFile.h"

#include "framework/core/CallbackBoundary.h"
#include "framework/core/Exceptions.h"
#include "framework/win32/Errors.h"
#include "framework/win32/Handles.h"
#include "framework/win32/ProcessMemory.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

namespace {

MetricsFileKeeper* ticking = nullptr;

}  // namespace

void ReplaceFile(const std::string& path, const std::string& content) {
  const std::wstring target = Widen(path);
  // Not "*.prom": the collector skips it while it is being written.
  const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  {
    const HANDLE opened = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) ThrowLastError([&] { return Narrow(temporary); });
    const UniqueKernelHandle file(opened);
    DWORD written = 0;
    if (!WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written,
                   nullptr) ||
        written != content.size()) {
      const DWORD error = GetLastError();
      DeleteFileW(temporary.c_str());
      ThrowSystemError(error, Narrow(temporary));
    }
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteFileW(temporary.c_str());
    ThrowSystemError(error, path);
  }
}

MetricsFileKeeper::MetricsFileKeeper(const std::string& path, fw::TMetrics& metrics)
    : file_(path, metrics, {ReplaceFile, ThisProcessMemory}) {}

MetricsFileKeeper::~MetricsFileKeeper() {
  if (timer_) KillTimer(nullptr, timer_);
  if (ticking == this) ticking = nullptr;
}

std::optional<std::string> MetricsFileKeeper::Start() {
  std::optional<std::string> failure = file_.Start(fw::TMetricsFile::Clock::now());
  ticking = this;
  timer_ = SetTimer(nullptr, 0, 1000, OnTick);
  if (!timer_) ThrowLastError("No timer is left for the metrics file");
  return failure;
}

void CALLBACK MetricsFileKeeper::OnTick(HWND, UINT, UINT_PTR, DWORD) {
  fw::AtCallbackBoundary([] {
    if (ticking) ticking->file_.Tick(fw::TMetricsFile::Clock::now());
  });
}

}  // namespace fw::win32
