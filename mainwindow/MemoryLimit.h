#pragma once

#include <cstdint>

// The memory the program may hold before an idle reset gives it back, in MiB; zero: no
// limit. The platform's, fixed by the build (a test build defines its own).
std::uint32_t BuildMemoryLimitMiB();
