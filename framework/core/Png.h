#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>

#include "framework/core/Bitmap.h"

namespace fw {

class EPngError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Decodes a non-interlaced PNG of 8-bit greyscale, grey with alpha, RGB, RGBA or palette
// pixels into RGBA. Checks every chunk's CRC; throws EPngError saying what is wrong.
TBitmap DecodePng(std::span<const std::uint8_t> data);

}  // namespace fw
