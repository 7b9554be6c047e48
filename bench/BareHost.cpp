// The floor the program's start is measured against: one borderless, maximized window that
// hosts the browser control in place, and nothing else (no layout, no style, no registry, no
// hook). It uses the framework's own container site, so the two differ only in what the
// program adds.
#include <windows.h>
#include <exdisp.h>

#include "framework/win32/BrowserSite.h"
#include "framework/win32/Handles.h"

using fw::win32::BrowserSite;
using fw::win32::ComPtr;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (FAILED(OleInitialize(nullptr))) return 1;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (message == WM_CLOSE) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
  };
  wc.hInstance = instance;
  wc.lpszClassName = L"BareHost";
  RegisterClassExW(&wc);
  fw::win32::UniqueWindow window(CreateWindowExW(
      WS_EX_APPWINDOW, L"BareHost", L"Bare host", WS_POPUP | WS_CLIPCHILDREN, CW_USEDEFAULT,
      CW_USEDEFAULT, 1340, 930, nullptr, nullptr, instance, nullptr));
  if (!window) return 1;
  ComPtr<BrowserSite> site;
  site.attach(new BrowserSite(window.get()));
  ComPtr<IOleObject> browser;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                              browser.put_void())) ||
      FAILED(browser->SetClientSite(site.get())) ||
      FAILED(
          browser->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, window.get(), &area)))
    return 1;
  ShowWindow(window.get(), SW_SHOWMAXIMIZED);
  UpdateWindow(window.get());
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  browser->Close(OLECLOSE_NOSAVE);
  browser->SetClientSite(nullptr);
  site->Detach();
  return 0;
}
