#include "tests/mainwindow/win32/TestNavigationTargets.h"

NavigationTargets& TestNavigationTargets() {
  static NavigationTargets targets;
  return targets;
}

const NavigationTargets& BuildNavigationTargets() { return TestNavigationTargets(); }
