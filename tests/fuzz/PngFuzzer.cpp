#include <cstddef>
#include <cstdint>

#include "framework/core/Png.h"
#include "tests/fuzz/Require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const fw::TBitmap bitmap = fw::DecodePng({data, size});
    Require(bitmap.Width > 0 && bitmap.Height > 0 &&
            bitmap.Rgba.size() == std::size_t{4} * static_cast<std::size_t>(bitmap.Width) *
                                      static_cast<std::size_t>(bitmap.Height));
  } catch (const fw::EPngError&) {
  }
  return 0;
}
