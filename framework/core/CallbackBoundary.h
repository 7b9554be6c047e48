#pragma once

#include <utility>

namespace fw {

// Hands the exception being handled to the application's handler; if there is none, or the
// handler itself fails, it is dropped. Never throws.
void ReportCurrentException() noexcept;

// Runs the body of a callback that the system or the toolkit calls (a window or hook
// procedure, an enumeration callback, a signal handler): C frames cannot unwind an
// exception, so it stops here and the call returns `failed`.
template <class R, class Body>
R AtCallbackBoundary(R failed, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    ReportCurrentException();
    return failed;
  }
}

// The same for a callback that returns nothing.
template <class Body>
void AtCallbackBoundary(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {
    ReportCurrentException();
  }
}

}  // namespace fw
