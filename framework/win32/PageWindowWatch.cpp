#include "framework/win32/PageWindowWatch.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "framework/core/Application.h"
#include "framework/core/CallbackBoundary.h"
#include "framework/core/PageWindows.h"
#include "framework/win32/Errors.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

namespace {

struct Browser {
  HWND window;
  const fw::TWebBrowser* browser;
};

// A page's box while it shows, and the browser window it keeps disabled.
struct Released {
  HWND box;
  HWND browserWindow;
};

thread_local std::vector<Browser> browsers;
thread_local std::vector<Released> released;

// The locked browser whose window, or the window holding it, owns a new window.
const Browser* LockedBrowserOwning(HWND owner) {
  if (!owner) return nullptr;
  for (const Browser& b : browsers) {
    if (!b.browser->Lockdown()) continue;
    if (owner == b.window || owner == GetAncestor(b.window, GA_ROOT) || IsChild(b.window, owner))
      return &b;
  }
  return nullptr;
}

std::string ClassOf(HWND window) {
  wchar_t name[64] = {};
  return GetClassNameW(window, name, static_cast<int>(std::size(name))) ? Narrow(name)
                                                                        : std::string();
}

std::string CaptionOf(HWND window) {
  std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  caption.resize(static_cast<std::size_t>(
      GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()))));
  return Narrow(caption);
}

// The file name of the module whose resources made a window.
std::string ModuleName(HINSTANCE module) {
  if (!module) return {};
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  const std::wstring full(path, length);
  const std::size_t slash = full.find_last_of(L"\\/");
  return Narrow(slash == std::wstring::npos ? full : full.substr(slash + 1));
}

std::string ProgramTitle() { return fw::Application ? fw::Application->Title() : std::string(); }

// True when the window must not be created.
bool Created(HWND window, const CREATESTRUCTW& create) {
  if (!LockedBrowserOwning(create.hwndParent)) return false;
  const std::string type = ClassOf(window), module = ModuleName(create.hInstance);
  return fw::DecidePageWindow(fw::PageWindowMoment::Created, {type, "", module, true},
                              ProgramTitle()) == fw::PageWindowAction::Refuse;
}

// A modal box disables its owner, the whole kiosk: the owner is enabled again and only the
// browser's window stays disabled while the box shows, as for the program's page boxes.
void Activated(HWND window) {
  if (std::any_of(released.begin(), released.end(),
                  [&](const Released& r) { return r.box == window; })) {
    return;
  }
  HWND owner = GetWindow(window, GW_OWNER);
  const Browser* browser = LockedBrowserOwning(owner);
  if (!browser) return;
  const std::string type = ClassOf(window), caption = CaptionOf(window);
  if (fw::DecidePageWindow(fw::PageWindowMoment::Activated, {type, caption, "", true},
                           ProgramTitle()) != fw::PageWindowAction::Release) {
    return;
  }
  released.push_back({window, browser->window});
  EnableWindow(browser->window, FALSE);
  EnableWindow(owner, TRUE);
}

void Destroyed(HWND window) {
  const auto found = std::find_if(released.begin(), released.end(),
                                  [&](const Released& r) { return r.box == window; });
  if (found == released.end()) return;
  const HWND browserWindow = found->browserWindow;
  released.erase(found);
  if (std::none_of(released.begin(), released.end(),
                   [&](const Released& r) { return r.browserWindow == browserWindow; })) {
    EnableWindow(browserWindow, TRUE);
  }
}

LRESULT CALLBACK WatchWindows(int code, WPARAM wParam, LPARAM lParam) {
  const bool refuse = fw::AtCallbackBoundary(false, [&] {
    const auto window = reinterpret_cast<HWND>(wParam);
    switch (code) {
      case HCBT_CREATEWND: {
        const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        return create && create->lpcs && Created(window, *create->lpcs);
      }
      case HCBT_ACTIVATE:
        Activated(window);
        return false;
      case HCBT_DESTROYWND:
        Destroyed(window);
        return false;
      default:
        return false;
    }
  });
  // Non-zero from HCBT_CREATEWND: the window is never made.
  return refuse ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

PageWindowWatch::PageWindowWatch()
    : hook_(SetWindowsHookExW(WH_CBT, WatchWindows, nullptr, GetCurrentThreadId())) {
  if (!hook_) ThrowLastError("Cannot watch the windows of the page");
}

PageWindowWatch::~PageWindowWatch() {
  hook_.reset();
  for (const Released& r : released) EnableWindow(r.browserWindow, TRUE);
  released.clear();
}

void PageWindowWatch::Watch(HWND window, const fw::TWebBrowser& browser) {
  Forget(browser);
  browsers.push_back({window, &browser});
}

void PageWindowWatch::Forget(const fw::TWebBrowser& browser) {
  std::erase_if(browsers, [&](const Browser& b) { return b.browser == &browser; });
}

}  // namespace fw::win32
