#pragma once

#include "tests/support/win32/LoopbackHttpServer.h"

namespace testing_win32 {

// Real input on the running program's window, in quick succession: each action is sent as
// soon as the one before has had its effect. Each returns how many actions had none. The
// driver serves the addresses this build's navigation buttons open.
class ProgramDriver {
 public:
  // Brings the window to the front with a navigation button focused, so that keys reach the
  // window's key preview.
  void FocusNavigationButton();
  // Escape pressed and released; each press toggles the app bar.
  int ToggleByEscape(int times);
  // Clicks on the navigation buttons whose pages are on the server, in turn; each opens its
  // page.
  int Navigate(int times);
  // Straight swipes up on the navigation pane's free area; each toggles the app bar.
  int SwipeOnPane(int times);

 private:
  LoopbackHttpServer server_{SOAK_PORT};
};

}  // namespace testing_win32
