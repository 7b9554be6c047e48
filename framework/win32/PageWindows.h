#pragma once

#include <windows.h>

#include <string>

namespace fw::win32 {

// Cancels the dialogs the browser control opened for its page on this thread, such as its file
// window or its print dialog: every dialog `topLevel` owns, but for the program's own boxes,
// which carry `programCaption`. Each is asked to cancel and goes once its loop runs again.
void CancelPageWindows(HWND topLevel, const std::wstring& programCaption);

}  // namespace fw::win32
