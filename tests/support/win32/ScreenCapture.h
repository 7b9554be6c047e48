#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace testing_win32 {

// What the screen shows in a rectangle, read back with BitBlt.
class ScreenCapture {
 public:
  explicit ScreenCapture(const RECT& area);
  // Colour at a point relative to the rectangle's top-left corner, as 0xRRGGBB.
  std::uint32_t At(int x, int y) const;
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count(std::uint32_t rgb) const;

 private:
  int width_;
  int height_;
  std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, top row first
};

// The window's rectangle on the screen, captured.
ScreenCapture CaptureWindow(HWND window);

}  // namespace testing_win32
