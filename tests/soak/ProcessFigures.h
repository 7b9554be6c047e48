#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

namespace testing_win32 {

// What this process holds, read in-process. The first four are the figures the system's
// own counters give; Wine leaves each of them unreported (empty here): GetGuiResources is
// not implemented, and GetProcessHandleCount and PrivateUsage read 0. The rest are what Wine
// does report and what shows a leak of the same kind there.
struct ProcessFigures {
  std::optional<DWORD> userObjects;    // GetGuiResources(GR_USEROBJECTS)
  std::optional<DWORD> gdiObjects;     // GetGuiResources(GR_GDIOBJECTS)
  std::optional<DWORD> handles;        // GetProcessHandleCount
  std::optional<SIZE_T> privateBytes;  // GetProcessMemoryInfo's PrivateUsage

  // Windows of this process, top-level and child (one kind of USER object; menus, icons,
  // cursors and hooks are not counted).
  std::size_t windows = 0;
  // Live entries of this process in the GDI handle table: every pen, brush, font, bitmap,
  // region and device context that exists, stock objects included. Empty where the table is
  // not found.
  std::optional<std::size_t> gdiTableEntries;
  // Handles of this process in the system's handle list (the server's own table under Wine).
  std::optional<std::size_t> listedHandles;
  // PagefileUsage: the private commit on Windows; RssAnon + VmSwap of the process under Wine.
  SIZE_T pagefileBytes = 0;
  // WorkingSetSize: the process's resident memory (VmRSS under Wine).
  SIZE_T residentBytes = 0;
};

ProcessFigures MeasureThisProcess();

// One line with every figure, "n/r" where the system does not report one, and the line that
// names the columns.
std::string FiguresHeader();
std::string FiguresRow(const ProcessFigures& figures);

}  // namespace testing_win32
