#pragma once

namespace fw {
class TControl;
}

// What the mouse hook does with a mouse message: right-button down and up over a browser
// control are discarded; on button-up the control's own popup menu, if any, is shown.
enum class HookedMouseMessage { RightButtonDown, RightButtonUp, Other };

struct RightClickDecision {
  bool Discard = false;
  bool ShowPopupMenu = false;
  friend bool operator==(const RightClickDecision&, const RightClickDecision&) = default;
};

// `isAction`: the hook code is HC_ACTION; `underPointer`: the framework control found at
// the pointer, or none.
RightClickDecision DecideRightClick(bool isAction, HookedMouseMessage message,
                                    const fw::TControl* underPointer);
