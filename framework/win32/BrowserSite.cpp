#include "framework/win32/BrowserSite.h"

#include "framework/core/Events.h"
#include "framework/core/WindowAccelerators.h"

namespace fw::win32 {

namespace {

// CGID_DocHostCommandHandler, spelled out: the import library does not define it.
constexpr GUID kDocHostCommands = {
    0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};

fw::TShiftState ShiftState() {
  fw::TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= fw::ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= fw::ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= fw::ssAlt;
  return shift;
}

}  // namespace

bool SwallowsEngineWindowKey(const MSG& message, bool locked) {
  if (!locked || (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)) return false;
  return fw::OpensEngineWindow(static_cast<std::uint16_t>(message.wParam), ShiftState());
}

STDMETHODIMP BrowserSite::TranslateAccelerator(LPMSG message, const GUID*, DWORD) noexcept {
  return message && SwallowsEngineWindowKey(*message, Locked()) ? S_OK : S_FALSE;
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
