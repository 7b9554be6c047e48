// Linked into a test copy of the program only: a limit below anything the program holds, so
// that every idle reset finds it over.
#include "mainwindow/MemoryLimit.h"

std::uint32_t BuildMemoryLimitMiB() { return 1; }
