#include "framework/gtk/CallbackBoundary.h"

#include "framework/core/Application.h"

namespace fw::gtk {

void ReportCurrentException() noexcept {
  try {
    if (fw::Application) fw::Application->HandleCurrentException();
  } catch (...) {
    // Nothing is left to tell it with.
  }
}

}  // namespace fw::gtk
