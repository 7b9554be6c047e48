#pragma once

#include <windows.h>

// What the test copy of the program with PageWindowHook.cpp answers to.
namespace page_window_hook {

inline constexpr wchar_t kClass[] = L"DuvuzezeraTestPageWindows";
inline constexpr wchar_t kPromptCaption[] = L"Explorer User Prompt";
inline constexpr UINT kOpenFile = WM_APP + 1;
inline constexpr UINT kPrompt = WM_APP + 2;
inline constexpr UINT kNavigate = WM_APP + 3;  // wParam: the loopback port

}  // namespace page_window_hook
