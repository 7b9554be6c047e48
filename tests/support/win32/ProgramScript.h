#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "app/ProgramStartup.h"
#include "framework/win32/ControlWindow.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Unicode.h"
#include "framework/win32/WebBrowserPeer.h"
#include "mainwindow/Unit12.h"

// The whole program run in this process, as the user meets it.
namespace program_script {

inline std::function<void()>& Script() {
  static std::function<void()> script;
  return script;
}

inline void CALLBACK RunScriptOnceShown(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND form = Form12 ? fw::win32::WindowOf(Form12) : nullptr;
  if (!form || !IsWindowVisible(form)) return;
  KillTimer(nullptr, timer);
  Script()();
  PostMessageW(form, WM_CLOSE, 0, 0);
}

// Runs the program and, once its window shows, `script`; then closes the window. Returns the
// program's exit code.
inline int RunProgramWithScript(std::function<void()> script) {
  Script() = std::move(script);
  SetTimer(nullptr, 0, 100, RunScriptOnceShown);
  return RunProgram();
}

// The address the browser control shows, or empty.
inline std::string LocationOfTheBrowser() {
  auto* peer = dynamic_cast<fw::win32::WebBrowserPeer*>(Form12->WebBrowser1->Peer());
  fw::win32::UniqueBstr location;
  if (!peer || !peer->Browser() || FAILED(peer->Browser()->get_LocationURL(location.put())))
    return {};
  return fw::win32::Narrow(location.str());
}

}  // namespace program_script
