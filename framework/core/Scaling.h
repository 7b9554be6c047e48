#pragma once

namespace fw {

inline constexpr int DesignPixelsPerInch = 96;

// number * numerator / denominator, rounded half away from zero, in 64-bit arithmetic so
// that no intermediate overflows; a zero denominator or a result beyond int gives -1, as the
// system's MulDiv does.
int MulDiv(int number, int numerator, int denominator);

// A design length (at 96 pixels per inch) on a screen of `pixelsPerInch`.
inline int ScaleToDpi(int designLength, int pixelsPerInch) {
  return MulDiv(designLength, pixelsPerInch, DesignPixelsPerInch);
}

}  // namespace fw
