#pragma once

#include <memory>

#include "framework/core/Control.h"
#include "framework/win32/WindowPeer.h"

namespace fw::win32 {

// The peer for a control of the core, by its kind; throws for a kind this backend cannot show.
std::unique_ptr<WindowPeer> MakePeer(fw::TControl& control);

}  // namespace fw::win32
