#include "framework/core/Bitmap.h"

#include <cstring>

namespace fw {

void WritePremultipliedBgra(const TBitmap& picture, std::uint8_t* rows, std::size_t stride) {
  for (int y = 0; y < picture.Height; ++y) {
    std::uint8_t* out = rows + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < picture.Width; ++x) {
      const std::uint8_t* p = &picture.Rgba[(static_cast<std::size_t>(y) * picture.Width + x) * 4];
      const std::uint32_t pixel = PremultipliedBgra(p[0], p[1], p[2], p[3]);
      // The buffers of either platform need not be aligned for 32-bit words.
      std::memcpy(out + static_cast<std::size_t>(x) * 4, &pixel, sizeof pixel);
    }
  }
}

}  // namespace fw
