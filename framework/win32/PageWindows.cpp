#include "framework/win32/PageWindows.h"

#include <iterator>
#include <string>
#include <vector>

namespace fw::win32 {

namespace {

struct Search {
  HWND topLevel;
  const std::wstring* programCaption;
  std::vector<HWND> found;
};

BOOL CALLBACK Consider(HWND window, LPARAM search) {
  auto& s = *reinterpret_cast<Search*>(search);
  wchar_t type[16] = {};
  if (window == s.topLevel || !IsWindowVisible(window) ||
      GetAncestor(window, GA_ROOTOWNER) != s.topLevel ||
      !GetClassNameW(window, type, static_cast<int>(std::size(type))) ||
      std::wstring(type) != L"#32770") {
    return TRUE;
  }
  std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  caption.resize(static_cast<std::size_t>(
      GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()))));
  if (caption != *s.programCaption) s.found.push_back(window);
  return TRUE;
}

}  // namespace

void CancelPageWindows(HWND topLevel, const std::wstring& programCaption) {
  if (!topLevel) return;
  Search search{topLevel, &programCaption, {}};
  EnumThreadWindows(GetCurrentThreadId(), Consider, reinterpret_cast<LPARAM>(&search));
  for (HWND window : search.found) PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace fw::win32
