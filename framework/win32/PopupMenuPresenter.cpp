#include "framework/win32/PopupMenuPresenter.h"

#include <windows.h>

#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/win32/ControlWindow.h"
#include "framework/win32/Errors.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

void ShowPopupMenu(fw::TPopupMenu& menu, int x, int y) {
  UniqueMenu handle(CreatePopupMenu());
  if (!handle) ThrowLastError([&] { return "Cannot create the menu '" + menu.Name() + "'"; });
  for (std::size_t i = 0; i < menu.Items.size(); ++i) {
    AppendMenuW(handle.get(), MF_STRING, i + 1, Widen(menu.Items[i].Caption).c_str());
  }
  HWND owner = fw::Application ? WindowOf(fw::Application->MainForm()) : nullptr;
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(handle.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                     x, y, 0, owner, nullptr));
  handle.reset();
  if (chosen >= 1 && chosen <= menu.Items.size() && menu.Items[chosen - 1].OnClick) {
    menu.Items[chosen - 1].OnClick(&menu);
  }
}

}  // namespace fw::win32
