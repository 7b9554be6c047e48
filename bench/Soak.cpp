// Drives the program with real input for a long while and prints what its process holds at
// the start and after each block. Figures only; nothing here passes or fails.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "tests/soak/ProcessFigures.h"
#include "tests/soak/ProgramDriver.h"
#include "tests/support/win32/ProgramScript.h"

using namespace testing_win32;

namespace {

using Clock = std::chrono::steady_clock;

void PrintRow(const std::string& label, double seconds, int noEffect) {
  std::printf("%-32s%s %8.1f %9d\n", label.c_str(), FiguresRow(MeasureThisProcess()).c_str(),
              seconds, noEffect);
  std::fflush(stdout);
}

// Runs a block and prints the figures after it, with its time and how many of its actions
// had no effect.
void Block(const std::string& label, const std::function<int()>& block) {
  const auto start = Clock::now();
  const int noEffect = block();
  PrintRow(label, std::chrono::duration<double>(Clock::now() - start).count(), noEffect);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Usage: soak_bench [TOGGLES NAVIGATIONS STROKES]
  const int toggles = argc > 1 ? _wtoi(argv[1]) : 10000;
  const int navigations = argc > 2 ? _wtoi(argv[2]) : 1000;
  const int strokes = argc > 3 ? _wtoi(argv[3]) : 1000;
  const auto start = Clock::now();
  ProgramDriver driver;
  const int exitCode = program_script::RunProgramWithScript([&] {
    std::printf("%-32s%s %8s %9s\n", "", FiguresHeader().c_str(), "time s", "no effect");
    driver.FocusNavigationButton();
    PrintRow("start", 0, 0);
    Block("after " + std::to_string(toggles) + " toggles by Escape",
          [&] { return driver.ToggleByEscape(toggles); });
    Block("after " + std::to_string(navigations) + " navigations",
          [&] { return driver.Navigate(navigations); });
    Block("after " + std::to_string(strokes) + " strokes on the pane",
          [&] { return driver.SwipeOnPane(strokes); });
  });
  std::printf(
      "\nn/r: not reported by this system. Under Wine GetGuiResources is not implemented, and\n"
      "GetProcessHandleCount and PrivateUsage read 0; the columns after '|' are what Wine does\n"
      "report: windows of the process, live entries of its GDI handle table, its handles in the\n"
      "system's handle list, PagefileUsage (RssAnon + VmSwap) and WorkingSetSize (VmRSS).\n"
      "Whole run: %.0f s; the program exited with code %d.\n",
      std::chrono::duration<double>(Clock::now() - start).count(), exitCode);
  return exitCode;
}
