#include "tests/support/win32/ScreenCapture.h"

#include <algorithm>
#include <stdexcept>

namespace testing_win32 {

ScreenCapture::ScreenCapture(const RECT& area)
    : width_(area.right - area.left),
      height_(area.bottom - area.top),
      pixels_(static_cast<std::size_t>(width_) * height_) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!memory || !bitmap || !bits) throw std::runtime_error("cannot capture the screen");
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width_, height_, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const auto* source = static_cast<const std::uint32_t*>(bits);  // 0x00RRGGBB in a BGRA DIB
  std::transform(source, source + pixels_.size(), pixels_.begin(),
                 [](std::uint32_t p) { return p & 0xFFFFFF; });
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

std::uint32_t ScreenCapture::At(int x, int y) const {
  return pixels_.at(static_cast<std::size_t>(y) * width_ + x);
}

int ScreenCapture::Count(std::uint32_t rgb) const {
  return static_cast<int>(std::count(pixels_.begin(), pixels_.end(), rgb));
}

ScreenCapture CaptureWindow(HWND window) {
  RECT area;
  GetWindowRect(window, &area);
  return ScreenCapture(area);
}

}  // namespace testing_win32
