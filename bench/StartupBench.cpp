// Prints how long the program takes from process start to a visible main window, and how
// large its executable is. Figures only; nothing here passes or fails.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "tests/support/win32/ChildProcess.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: startup_bench PROGRAM.exe [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? _wtoi(argv[2]) : 7;
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (GetFileAttributesExW(argv[1], GetFileExInfoStandard, &attributes)) {
    std::printf("executable size: %lu bytes\n", attributes.nFileSizeLow);
  }
  std::vector<double> milliseconds;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    testing_win32::ChildProcess program(argv[1]);
    HWND form = program.WaitForWindow(L"TForm12");
    const auto shown = std::chrono::steady_clock::now();
    if (!form) {
      std::fprintf(stderr, "run %d: no window\n", i + 1);
      return 1;
    }
    milliseconds.push_back(std::chrono::duration<double, std::milli>(shown - start).count());
    PostMessageW(form, WM_CLOSE, 0, 0);
    program.WaitForExit();
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  std::printf("start to visible window over %d runs: min %.0f ms, median %.0f ms, max %.0f ms\n",
              runs, milliseconds.front(), milliseconds[milliseconds.size() / 2],
              milliseconds.back());
  return 0;
}
