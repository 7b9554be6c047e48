#include "mainwindow/MemoryLimit.h"

// The browser control's private bytes stay in the low hundreds of MiB on the pages a kiosk
// shows (docs/figures.md); past this the process has grown for reasons of its own.
std::uint32_t BuildMemoryLimitMiB() { return 1024; }
