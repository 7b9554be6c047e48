#include "framework/win32/CallbackBoundary.h"

#include "framework/core/Application.h"

namespace fw::win32 {

void ReportCurrentException() noexcept {
  try {
    if (fw::Application) fw::Application->HandleCurrentException();
  } catch (...) {
    // Nothing is left to tell it with.
  }
}

}  // namespace fw::win32
