#pragma once

#include <vector>

#include "framework/core/Metrics.h"

namespace fw::win32 {

// The process's private bytes and working set: the browser control runs inside it.
std::vector<fw::TMemoryFigure> ThisProcessMemory();

}  // namespace fw::win32
