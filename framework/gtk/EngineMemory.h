#pragma once

#include <webkit2/webkit2.h>

#include <cstdint>

#include "framework/gtk/Handles.h"

namespace fw::gtk {

// The engine trims its caches as its processes near `mib` (zero: no limit). Only views made
// afterwards take it: call it before the first.
void LimitEngineMemory(std::uint32_t mib);

// The context a view of the program runs on: the default one, or with a limit one of the
// program's own that carries it (the engine takes its web processes' limit only when a
// context is made). Either keeps its data under the folders named after the program.
ObjectRef<WebKitWebContext> KioskWebContext();

}  // namespace fw::gtk
