#include "framework/core/CallbackBoundary.h"

#include "framework/core/Application.h"

namespace fw {

void ReportCurrentException() noexcept {
  try {
    if (Application) Application->HandleCurrentException();
  } catch (...) {
    // Nothing is left to tell it with.
  }
}

}  // namespace fw
