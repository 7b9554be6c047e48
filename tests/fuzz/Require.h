#pragma once

#include <cstdlib>

// A property the code under test broke: abort, so that libFuzzer keeps the input.
inline void Require(bool holds) {
  if (!holds) std::abort();
}
