#pragma once

#include <exception>

namespace fw::gtk {

// Masks all six floating-point exceptions (the web engine's scripts rely on it), clears
// their flags and keeps the rounding mode.
void MaskFloatingPointExceptions();

// The "Application Error" box for an exception that escaped start-up, and the same text on
// standard error, where it is all there is when no display could be opened.
void ShowApplicationError(const std::exception& e);

}  // namespace fw::gtk
