#pragma once

#include <memory>

#include "framework/core/Control.h"
#include "framework/gtk/WidgetPeer.h"

namespace fw::gtk {

// The peer for a control of the core, by its kind; throws for a kind this backend cannot show.
std::unique_ptr<WidgetPeer> MakePeer(fw::TControl& control);

}  // namespace fw::gtk
