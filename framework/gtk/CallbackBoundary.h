#pragma once

namespace fw::gtk {

// Hands the exception being handled to the application's handler; nothing escapes.
void ReportCurrentException() noexcept;

// Runs the body of a function the toolkit calls. No exception may unwind through the
// toolkit's C frames: whatever the body throws goes to the application's handler, and the
// toolkit gets `fallback`.
template <class R, class Body>
R AtCallbackBoundary(R fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    ReportCurrentException();
    return fallback;
  }
}

}  // namespace fw::gtk
