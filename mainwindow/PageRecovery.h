#pragma once

#include <chrono>

// The build's defaults for bringing a page back: how long a page that could not be reached
// waits before it is loaded again (zero: never), and how long a load may take before it is
// stopped and shown as failed. A test build may define both itself, to wait less.
std::chrono::seconds BuildRetryDelay();
std::chrono::seconds BuildLoadTimeout();
