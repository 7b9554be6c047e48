#pragma once

#include "framework/core/Control.h"
#include "framework/core/Style.h"

namespace fw {

// The colours a control is painted with: the active style's where there is one, the
// layout's otherwise.
TColor BackgroundColorOf(const TControl& control, const TStyle* style);
TColor CaptionColorOf(const TControl& control, const TStyle* style);

// The state a push button is drawn in; disabled wins over pressed, pressed over the rest.
TButtonState ButtonStateOf(bool enabled, bool pressed, bool focused, bool hot);

}  // namespace fw
