#include "framework/win32/BrowserSite.h"

#include "framework/core/Events.h"
#include "framework/core/WindowAccelerators.h"
#include "framework/win32/Input.h"

namespace fw::win32 {

namespace {

// CGID_DocHostCommandHandler, spelled out: the import library does not define it.
constexpr GUID kDocHostCommands = {
    0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};

// The box being opened for the page's dialog: the hook finds its window.
thread_local HWND* openingDialog = nullptr;
thread_local bool openingLocked = false;

// The box's window as it activates. The box disables the whole top-level window; locked down,
// the navigation buttons must stay usable, so that window is enabled again and only the page's
// window stays disabled.
LRESULT CALLBACK WatchDialog(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && openingDialog && !*openingDialog) {
    *openingDialog = reinterpret_cast<HWND>(wParam);
    HWND owner = GetWindow(*openingDialog, GW_OWNER);
    if (owner && openingLocked) EnableWindow(owner, TRUE);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool SwallowsEngineWindowKey(const MSG& message, bool locked) {
  if (!locked || (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)) return false;
  return fw::OpensEngineWindow(VirtualKey(message.wParam), ShiftStateOf(message));
}

STDMETHODIMP BrowserSite::TranslateAccelerator(LPMSG message, const GUID*, DWORD) noexcept {
  return message && SwallowsEngineWindowKey(*message, Locked()) ? S_OK : S_FALSE;
}

STDMETHODIMP BrowserSite::ShowMessage(HWND window, LPOLESTR text, LPOLESTR caption, DWORD type,
                                      LPOLESTR, DWORD, LRESULT* result) noexcept {
  if (!result) return S_FALSE;
  // The page being left asks whether to leave: the program has decided.
  if (leaving_) {
    *result = IDOK;
    return S_OK;
  }
  // The program's own box in every mode, so that the idle reset can answer it.
  if (dialog_ || openingDialog || !host_) return S_FALSE;
  HHOOK hook = SetWindowsHookExW(WH_CBT, WatchDialog, nullptr, GetCurrentThreadId());
  if (!hook) return S_FALSE;  // the control's own box, then
  openingDialog = &dialog_;
  openingLocked = Locked();
  EnableWindow(host_, FALSE);
  // No help button: a help file would open a window of its own.
  const int answer = MessageBoxW(window ? window : host_, text, caption, type & ~MB_HELP);
  EnableWindow(host_, TRUE);
  openingDialog = nullptr;
  dialog_ = nullptr;
  UnhookWindowsHookEx(hook);
  *result = answer;
  return S_OK;
}

void BrowserSite::CloseDialog() const {
  if (dialog_) PostMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
}

STDMETHODIMP BrowserSite::Exec(const GUID* group, DWORD command, DWORD, VARIANT*,
                               VARIANT*) noexcept {
  if (!group || !IsEqualGUID(*group, kDocHostCommands)) return OLECMDERR_E_UNKNOWNGROUP;
  if (!Locked()) return OLECMDERR_E_NOTSUPPORTED;
  switch (command) {
    case OLECMDID_PRINT:
    case OLECMDID_PRINTPREVIEW:
    case OLECMDID_PAGESETUP:
    case OLECMDID_SHOWPRINT:
    case OLECMDID_SHOWPAGESETUP:
      return S_OK;  // handled: nothing is shown
    default:
      return OLECMDERR_E_NOTSUPPORTED;
  }
}

}  // namespace fw::win32
