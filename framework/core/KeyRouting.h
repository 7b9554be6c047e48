#pragma once

#include <cstdint>
#include <functional>

#include "framework/core/Events.h"

namespace fw {

class TControl;
class TForm;

// Virtual-key codes the routing and the handlers look at (the platform's numbering).
inline constexpr std::uint16_t vkTab = 9, vkReturn = 13, vkEscape = 27, vkLeft = 37, vkUp = 38,
                               vkRight = 39, vkDown = 40, vkSpace = 0x20, vkShift = 0x10,
                               vkControl = 0x11, vkMenu = 0x12, vkF1 = 0x70;
// A key the platform has no virtual-key code for: still a key, never "no key".
inline constexpr std::uint16_t vkUnmapped = 0xFF;

enum class TKeyRoute {
  Page,             // the focus is inside the web page: offer the key to the browser, then the page
  ClickFocused,     // Enter on a push button
  TabForward,       // Tab
  TabBackward,      // Shift+Tab
  NextSibling,      // Right, Down
  PreviousSibling,  // Left, Up
  Preview,          // everything else: the form's key preview, then the focused control
};

// Where a key-down goes. Dialog keys (the ones that move the focus or click) are consumed
// before key preview; Escape is not one of them, nor is anything held with Alt.
TKeyRoute RouteKeyDown(std::uint16_t key, TShiftState shift, bool focusInPage,
                       bool focusOnPushButton);

// The next (or previous) tab stop that can take the focus, in the form's tab order taken
// depth first, wrapping around; none when there is none.
TControl* NextTabStop(const TForm& form, const TControl* current, bool forward);
// The same among `current`'s siblings only.
TControl* NextSiblingTabStop(const TControl& current, bool forward);

// Carries out a key-down on `focused`, a control of `form` outside the page: a dialog key is
// acted on and consumed; any other key goes to the form's key preview, whose handler may
// change it or take it (0). True when the key is consumed; otherwise `key` goes on to the
// focused control.
bool DispatchKeyDown(TForm& form, TControl& focused, std::uint16_t& key, TShiftState shift);

// Where a key message that reached `focused` (a control of a form, or the form) goes: while
// the focus is inside the page the key is the page's, and `toPage` (the backend's) offers it
// to the browser and says whether it took it; otherwise a key-down goes to DispatchKeyDown and
// a key-up on to the control. True when the key is consumed; `key` may have been changed by
// the form's key preview.
using TPageKeyHook = std::function<bool()>;
bool RouteKey(TControl& focused, bool focusInPage, bool keyDown, std::uint16_t& key,
              TShiftState shift, const TPageKeyHook& toPage);

}  // namespace fw
