#include "framework/core/StyleRules.h"

#include "framework/core/Form.h"
#include "framework/core/StandardControls.h"

namespace fw {

TColor BackgroundColorOf(const TControl& control, const TStyle* style) {
  if (!style) return control.EffectiveColor();
  if (dynamic_cast<const TForm*>(&control))
    return StyleColor(*style, "Window", control.EffectiveColor());
  // A panel given a colour of its own keeps it: the black over a display that is off.
  if (dynamic_cast<const TPanel*>(&control) && !control.ParentColor) return control.Color;
  if (dynamic_cast<const TPanel*>(&control) || dynamic_cast<const TSplitView*>(&control)) {
    // Styled panels leave their background to the window's colour.
    const TControl* form = &control;
    while (form->Parent()) form = form->Parent();
    return BackgroundColorOf(*form, style);
  }
  // Everything else shows its parent's background.
  return control.Parent() ? BackgroundColorOf(*control.Parent(), style)
                          : StyleColor(*style, "clBtnFace", control.EffectiveColor());
}

TColor CaptionColorOf(const TControl& control, const TStyle* style) {
  const TColor own = control.EffectiveFont().Color;
  return style ? StyleFontColor(*style, "PanelTextNormal", own) : own;
}

TButtonState ButtonStateOf(bool enabled, bool pressed, bool focused, bool hot) {
  if (!enabled) return TButtonState::Disabled;
  if (pressed) return TButtonState::Pressed;
  if (hot) return TButtonState::Hot;
  if (focused) return TButtonState::Focused;
  return TButtonState::Normal;
}

}  // namespace fw
