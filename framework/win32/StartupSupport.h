#pragma once

#include <exception>

namespace fw::win32 {

// Masks all six floating-point exceptions (the browser control's scripts rely on it),
// clears their flags and keeps the rounding mode.
void MaskFloatingPointExceptions();

// The task-modal "Application Error" box for an exception that escaped start-up.
void ShowApplicationError(const std::exception& e);

}  // namespace fw::win32
