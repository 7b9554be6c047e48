#include "framework/win32/ProcessMemory.h"

#include <windows.h>
#include <psapi.h>

namespace fw::win32 {

std::vector<fw::TMemoryFigure> ThisProcessMemory() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(),
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters)) {
    return {};
  }
  // The two are the same figure; some implementations fill in only the older one.
  const SIZE_T privateBytes =
      counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  return {{"memory_private_bytes", "Private bytes of the program, the browser control included.",
           static_cast<double>(privateBytes)},
          {"memory_working_set_bytes", "Working set of the program.",
           static_cast<double>(counters.WorkingSetSize)}};
}

}  // namespace fw::win32
