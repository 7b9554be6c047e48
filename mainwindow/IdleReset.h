#pragma once

#include <chrono>

// How long the program waits, with no input and the splash hidden, before it returns to the
// splash with nothing of the last visitor left; zero: never. Defined by the build, or by a
// test build.
std::chrono::seconds BuildIdleResetTimeout();
