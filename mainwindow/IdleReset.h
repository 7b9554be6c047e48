#pragma once

#include <chrono>
#include <string>

// How long the program waits, with no input and the splash hidden, before it returns to the
// splash with nothing of the last visitor left; zero: never. Defined by the build, or by a
// test build.
std::chrono::seconds BuildIdleResetTimeout();
// How long before the reset a warning counts down (zero: none); never more than half the
// reset's timeout, whatever is asked for. Defined like BuildIdleResetTimeout.
std::chrono::seconds BuildIdleWarning();

// The warning's text with `seconds` left.
std::string IdleWarningText(int seconds);
