#pragma once

#include <exception>

namespace fw::gtk {

// The "Application Error" box for an exception that escaped start-up, and the same text on
// standard error, where it is all there is when no display could be opened.
void ShowApplicationError(const std::exception& e);

}  // namespace fw::gtk
