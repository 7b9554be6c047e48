#pragma once

#include <exception>

namespace fw::win32 {

// The task-modal "Application Error" box for an exception that escaped start-up.
void ShowApplicationError(const std::exception& e);

}  // namespace fw::win32
