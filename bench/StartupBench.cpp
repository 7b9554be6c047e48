// Prints how long the program takes from process start to a visible main window, beside the
// same figure for a bare host of the browser control, started in turn (A B A B ...), and the
// program's executable size. Figures only; nothing here passes or fails.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/win32/ChildProcess.h"

namespace {

// Milliseconds from the start of the process to its visible window of `className`; a
// negative figure when it showed none.
double StartToWindow(const wchar_t* path, const wchar_t* className) {
  const auto start = std::chrono::steady_clock::now();
  testing_win32::ChildProcess program(path);
  HWND window =
      program.WaitForWindow(className, std::chrono::seconds(20), std::chrono::milliseconds(1));
  const auto shown = std::chrono::steady_clock::now();
  if (!window) return -1;
  PostMessageW(window, WM_CLOSE, 0, 0);
  program.WaitForExit();
  return std::chrono::duration<double, std::milli>(shown - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench PROGRAM.exe BAREHOST.exe [PAIRS]\n");
    return 2;
  }
  const int pairs = argc > 3 ? std::max(_wtoi(argv[3]), 1) : 21;
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (GetFileAttributesExW(argv[1], GetFileExInfoStandard, &attributes)) {
    std::printf("executable size: %lu bytes\n", attributes.nFileSizeLow);
  }
  // A warm-up pair, not counted: the first starts fill the system's caches.
  StartToWindow(argv[1], L"TForm12");
  StartToWindow(argv[2], L"BareHost");
  std::vector<double> program, bare, ratios;
  for (int i = 0; i < pairs; ++i) {
    const double a = StartToWindow(argv[1], L"TForm12");
    const double b = StartToWindow(argv[2], L"BareHost");
    if (a < 0 || b < 0) {
      std::fprintf(stderr, "pair %d: %s showed no window\n", i + 1,
                   a < 0 ? "the program" : "the bare host");
      return 1;
    }
    program.push_back(a);
    bare.push_back(b);
    ratios.push_back(a / b);
  }
  std::printf(
      "start to visible window over %d alternating pairs: program median %.0f ms, "
      "bare host median %.0f ms\n",
      pairs, Median(program), Median(bare));
  std::printf("median of the pair-by-pair ratios (program / bare host): %.2f\n", Median(ratios));
  return 0;
}
