// Linked into a test copy of the program only. A page cannot run under Wine, so this hook does
// on the program's window thread what the browser control does there for a page: the messages
// below, posted to its message-only window (class "DuvuzezeraTestPageWindows"), open the file
// window of a file input, a `prompt` box, or a navigation of the control to a loopback port
// (wParam). Each outcome is appended to the file that DUVUZEZERA_TEST_PAGE_LOG names.
#include "tests/app/PageWindowHook.h"

#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <string>

#include "framework/core/CallbackBoundary.h"
#include "framework/win32/ControlWindow.h"
#include "framework/win32/Handles.h"
#include "framework/win32/WebBrowserPeer.h"
#include "mainwindow/Unit12.h"

namespace {

void Log(const std::string& line) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"DUVUZEZERA_TEST_PAGE_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  if (std::FILE* file = _wfopen(path, L"ab")) {
    std::fputs((line + "\n").c_str(), file);
    std::fclose(file);
  }
}

// As the control asks for a file: the open dialog, owned by the window holding it.
void OpenFile() {
  wchar_t name[MAX_PATH] = {};
  OPENFILENAMEW open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = fw::win32::WindowOf(Form12);
  open.lpstrFile = name;
  open.nMaxFile = MAX_PATH;
  open.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
  const BOOL chosen = GetOpenFileNameW(&open);
  Log("file " + std::to_string(chosen));
}

// As the control shows `prompt`: a dialog of its own, owned by its window.
void Prompt() {
  const int answer = MessageBoxW(fw::win32::WindowOf(Form12->WebBrowser1), L"Your name?",
                                 page_window_hook::kPromptCaption, MB_OKCANCEL);
  Log("prompt " + std::to_string(answer));
}

// As a page's link leads the control on.
void Navigate(WPARAM port) {
  auto* peer = dynamic_cast<fw::win32::WebBrowserPeer*>(Form12->WebBrowser1->Peer());
  const std::wstring url = L"http://127.0.0.1:" + std::to_wstring(port) + L"/";
  fw::win32::UniqueBstr address(url.c_str());
  VARIANT target;
  target.vt = VT_BSTR;
  target.bstrVal = address.get();
  VARIANT omitted;
  VariantInit(&omitted);
  const HRESULT hr = peer && peer->Browser() ? peer->Browser()->Navigate2(
                                                   &target, &omitted, &omitted, &omitted, &omitted)
                                             : E_FAIL;
  Log("navigate " + std::to_string(hr));
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return fw::AtCallbackBoundary(LRESULT{0}, [&]() -> LRESULT {
    switch (message) {
      case page_window_hook::kOpenFile:
        OpenFile();
        return 0;
      case page_window_hook::kPrompt:
        Prompt();
        return 0;
      case page_window_hook::kNavigate:
        Navigate(wParam);
        return 0;
      default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
  });
}

// Static construction runs on the thread that later runs the program's windows.
struct PageWindowHook {
  PageWindowHook() {
    WNDCLASSW type{};
    type.lpfnWndProc = Procedure;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = page_window_hook::kClass;
    RegisterClassW(&type);
    window.reset(CreateWindowExW(0, page_window_hook::kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, GetModuleHandleW(nullptr), nullptr));
  }
  fw::win32::UniqueWindow window;
} const installed;

}  // namespace
