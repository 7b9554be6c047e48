#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "framework/win32/Handles.h"

namespace fw::win32 {

// Tells the thread that made it when a settings file or a policy value may have changed: each
// file's folder and the policy key under both roots are watched by a thread of its own, which
// posts to a message-only window. A folder or key that does not exist yet is watched through
// the nearest one above it that does, so one created later is seen too. A one-shot timer on
// the same window lets the writes of one save settle.
class SettingsWatch {
 public:
  SettingsWatch(std::vector<std::wstring> files, std::wstring policyKey,
                std::function<void()> changed);
  ~SettingsWatch();
  SettingsWatch(const SettingsWatch&) = delete;
  SettingsWatch& operator=(const SettingsWatch&) = delete;

  // `due` after `delay`, in place of a timer started before.
  void StartTimer(std::chrono::milliseconds delay, std::function<void()> due);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static DWORD WINAPI WatchThread(void* self);
  void Watch() noexcept;

  std::vector<std::wstring> files_;
  std::wstring policyKey_;
  std::function<void()> changed_;
  std::function<void()> due_;
  UniqueWindow window_;
  UniqueKernelHandle stop_;
  // The system's thread rather than std::thread: the executable's size counts.
  UniqueKernelHandle thread_;
};

}  // namespace fw::win32
