#pragma once

#include <vector>

#include "framework/core/Metrics.h"

namespace fw::gtk {

// The proportional set size of this process and all its descendants (the page engine's web
// and network processes are children): what the kiosk costs, shared pages split fairly.
// Empty when nothing could be read.
std::vector<fw::TMemoryFigure> ProcessTreeMemory();

}  // namespace fw::gtk
