#pragma once

#include <string>

#include "framework/core/Style.h"

namespace fw::gtk {

// The CSS class the backend gives every push button it creates.
inline constexpr char kButtonClass[] = "fw-button";

// The toolkit's style sheet for push buttons under `style`: one rule per button state, each
// from the style's own colours, so that there is no second copy of them to keep in step.
std::string ButtonStyleSheet(const fw::TStyle& style);

}  // namespace fw::gtk
