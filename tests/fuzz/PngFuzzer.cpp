#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "framework/core/Png.h"
#include "tests/fuzz/Require.h"

namespace {

void Decode(std::span<const std::uint8_t> png) {
  try {
    const fw::TBitmap bitmap = fw::DecodePng(png);
    Require(bitmap.Width > 0 && bitmap.Height > 0 &&
            bitmap.Rgba.size() == std::size_t{4} * static_cast<std::size_t>(bitmap.Width) *
                                      static_cast<std::size_t>(bitmap.Height));
  } catch (const fw::EPngError&) {
  }
}

// The same bytes with every chunk's CRC made right, so that mutations reach past the check.
std::vector<std::uint8_t> WithValidCrcs(std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> png(data.begin(), data.end());
  for (std::size_t pos = 8; pos + 12 <= png.size();) {
    const std::uint32_t length = (std::uint32_t{png[pos]} << 24) |
                                 (std::uint32_t{png[pos + 1]} << 16) |
                                 (std::uint32_t{png[pos + 2]} << 8) | png[pos + 3];
    if (length > png.size() - pos - 12) break;
    const auto crc = static_cast<std::uint32_t>(crc32(0, &png[pos + 4], length + 4));
    for (int i = 0; i < 4; ++i) {
      png[pos + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    }
    pos += 12 + length;
  }
  return png;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Decode({data, size});
  Decode(WithValidCrcs({data, size}));
  return 0;
}
