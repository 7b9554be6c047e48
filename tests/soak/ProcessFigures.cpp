#include "tests/soak/ProcessFigures.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace testing_win32 {

namespace {

template <class T>
std::optional<T> Reported(T value) {
  // A process with a window always holds some of each; 0 is the answer of a stub.
  return value ? std::optional<T>(value) : std::nullopt;
}

struct WindowCount {
  DWORD process = GetCurrentProcessId();
  std::size_t windows = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
  ++reinterpret_cast<WindowCount*>(data)->windows;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data) {
  auto* count = reinterpret_cast<WindowCount*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == count->process) {
    ++count->windows;
    EnumChildWindows(window, CountChild, data);  // every descendant, not just children
  }
  return TRUE;
}

std::size_t CountWindows() {
  WindowCount count;
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
  return count.windows;
}

// One cell of the GDI handle table the process environment block points at (64-bit layout,
// the same in Windows and in Wine's ntgdi.h). A cell is in use while its type is not 0.
struct GdiCell {
  std::uint64_t object;
  std::uint16_t ownerProcess;
  std::uint16_t count;
  std::uint16_t unique;
  std::uint8_t type;
  std::uint8_t flags;
  std::uint64_t user;
};
static_assert(sizeof(GdiCell) == 24);
constexpr std::size_t kGdiTableCells = 0x10000;
constexpr std::size_t kPebGdiSharedHandleTable = 0xF8;

// Wine keeps the table per process (every cell is ours; the owner field reads 0). On Windows
// the table is shared by the session and GetGuiResources answers, so it is not read there.
std::optional<std::size_t> CountGdiTableEntries() {
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic,
                                nullptr) < 0)
    return std::nullopt;
  const auto* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
  const auto* table = *reinterpret_cast<const GdiCell* const*>(peb + kPebGdiSharedHandleTable);
  if (!table) return std::nullopt;
  std::size_t used = 0;
  for (std::size_t i = 0; i < kGdiTableCells; ++i) used += table[i].type != 0;
  return used;
}

// The system's list of every open handle (the server's handle tables under Wine), filtered to
// this process. Its owner field is 16 bits wide on Windows, so it is only read where
// GetProcessHandleCount does not answer.
std::optional<std::size_t> CountListedHandles() {
  std::vector<std::uint8_t> buffer(1 << 16);
  for (;;) {
    ULONG needed = 0;
    const NTSTATUS status = NtQuerySystemInformation(SystemHandleInformation, buffer.data(),
                                                     static_cast<ULONG>(buffer.size()), &needed);
    if (status == static_cast<NTSTATUS>(0xC0000004L)) {  // STATUS_INFO_LENGTH_MISMATCH
      buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
      continue;
    }
    if (status < 0) return std::nullopt;
    break;
  }
  const auto* list = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
  std::size_t ours = 0;
  for (ULONG i = 0; i < list->Count; ++i) ours += list->Handle[i].OwnerPid == GetCurrentProcessId();
  return ours;
}

// A right-aligned cell; "n/r" (not reported) where there is no value.
std::string Cell(std::optional<double> value, int width, int decimals = 0) {
  char text[32];
  if (value) {
    std::snprintf(text, sizeof text, "%*.*f", width, decimals, *value);
  } else {
    std::snprintf(text, sizeof text, "%*s", width, "n/r");
  }
  return text;
}

template <class T>
std::optional<double> Number(std::optional<T> value) {
  return value ? std::optional<double>(static_cast<double>(*value)) : std::nullopt;
}

std::optional<double> Megabytes(std::optional<SIZE_T> bytes) {
  return bytes ? std::optional<double>(static_cast<double>(*bytes) / (1 << 20)) : std::nullopt;
}

}  // namespace

ProcessFigures MeasureThisProcess() {
  ProcessFigures figures;
  HANDLE self = GetCurrentProcess();
  figures.userObjects = Reported(GetGuiResources(self, GR_USEROBJECTS));
  figures.gdiObjects = Reported(GetGuiResources(self, GR_GDIOBJECTS));
  DWORD handles = 0;
  if (GetProcessHandleCount(self, &handles)) figures.handles = Reported(handles);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory)) {
    figures.privateBytes = Reported(memory.PrivateUsage);
    figures.pagefileBytes = memory.PagefileUsage;
    figures.residentBytes = memory.WorkingSetSize;
  }
  figures.windows = CountWindows();
  if (!figures.gdiObjects) figures.gdiTableEntries = CountGdiTableEntries();
  if (!figures.handles) figures.listedHandles = CountListedHandles();
  return figures;
}

std::string FiguresHeader() {
  return " USER   GDI handles private MB | windows GDI table handle list pagefile MB "
         "resident MB";
}

std::string FiguresRow(const ProcessFigures& f) {
  return Cell(Number(f.userObjects), 5) + Cell(Number(f.gdiObjects), 6) +
         Cell(Number(f.handles), 8) + Cell(Megabytes(f.privateBytes), 11, 1) + " | " +
         Cell(static_cast<double>(f.windows), 7) + Cell(Number(f.gdiTableEntries), 10) +
         Cell(Number(f.listedHandles), 12) + Cell(Megabytes(f.pagefileBytes), 12, 1) +
         Cell(Megabytes(f.residentBytes), 12, 1);
}

}  // namespace testing_win32
