#pragma once

#include <cstdint>

namespace fw {

// MXCSR with the six exception-mask bits set (invalid, denormal, divide by zero, overflow,
// underflow, precision) and the six exception flags cleared; rounding and the rest kept.
constexpr std::uint32_t MaskedMxcsr(std::uint32_t mxcsr) { return (mxcsr | 0x1F80u) & ~0x3Fu; }

// Masks all six floating-point exceptions on this thread (the web engines' scripts rely on
// it), clears their flags and keeps the rounding mode.
void MaskFloatingPointExceptions();

}  // namespace fw
