#include "framework/win32/StartupSupport.h"

#include <windows.h>

#include "framework/core/Messages.h"
#include "framework/win32/SystemInfo.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

void ShowApplicationError(const std::exception& e) {
  const std::string text = fw::ApplicationErrorText(
      fw::ExceptionTypeName(e), Narrow(ExecutableFileName()), fw::ExceptionAddress(e), e.what());
  MessageBoxW(nullptr, Widen(text).c_str(), L"Application Error",
              MB_ICONERROR | MB_OK | MB_TASKMODAL);
}

}  // namespace fw::win32
