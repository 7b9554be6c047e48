#include "framework/core/Scaling.h"

#include <cstdint>
#include <limits>

namespace fw {

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  std::int64_t divisor = denominator;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  const std::int64_t half = divisor / 2;
  const std::int64_t rounded =
      product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  if (rounded > std::numeric_limits<int>::max() || rounded < std::numeric_limits<int>::min()) {
    return -1;
  }
  return static_cast<int>(rounded);
}

}  // namespace fw
