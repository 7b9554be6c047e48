#include "framework/core/FloatingPoint.h"

#include <xmmintrin.h>

namespace fw {

void MaskFloatingPointExceptions() { _mm_setcsr(MaskedMxcsr(_mm_getcsr())); }

}  // namespace fw
