#include "mainwindow/MemoryLimit.h"

// The process tree of a kiosk that has shown its pages for a while holds a few hundred MiB
// (docs/figures.md); a tree past this has grown for reasons of its own.
std::uint32_t BuildMemoryLimitMiB() { return 1024; }
