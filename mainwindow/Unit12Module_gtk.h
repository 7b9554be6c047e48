#pragma once

#include "framework/gtk/PlatformApplication.h"

// The main window module's start-up part on Linux. The browser emulation value has no
// counterpart here; the right-click filter stands where the toolkit lets the program see
// input first: the application's handler, which every event of the display passes through.

namespace Unit12 {

// Installs the right-click filter for the process's display.
void Initialization(fw::gtk::PlatformApplication& application);

}  // namespace Unit12
