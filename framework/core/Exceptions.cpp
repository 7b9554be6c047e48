#include "framework/core/Exceptions.h"

#if defined(_MSC_VER)
#include <intrin.h>
#pragma intrinsic(_ReturnAddress)
#define FW_RETURN_ADDRESS() _ReturnAddress()
#else
#define FW_RETURN_ADDRESS() __builtin_return_address(0)
#endif

namespace fw {

// Not inlined, so the return address is the code that raised the exception.
Exception::Exception(const std::string& message)
    : std::runtime_error(message), address_(FW_RETURN_ADDRESS()) {}

}  // namespace fw
