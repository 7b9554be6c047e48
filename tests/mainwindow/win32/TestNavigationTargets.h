#pragma once

#include "mainwindow/NavigationTargets.h"

// The targets the form under test opens; a test points them at its own server.
NavigationTargets& TestNavigationTargets();
