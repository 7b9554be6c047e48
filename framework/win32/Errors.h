#pragma once

#include <windows.h>

#include <string>
#include <type_traits>

namespace fw::win32 {

// Text the system has for an HRESULT: the thread's error info when the failing object
// left one, else the system's message, else the code in hex.
std::wstring DescribeHResult(HRESULT hr);

// Throws EOleException for a failure code, with `context` (if any) before the description.
void OleCheck(HRESULT hr, const std::string& context = {});

// Throws for a failed system call, naming the error code after `context`.
[[noreturn]] void ThrowSystemError(DWORD error, const std::string& context);

// The same for the call that just failed, with the thread's last error. The error is read
// before anything else runs: `context` is text, or a function that builds it afterwards
// (building it first could call the system and change the error).
template <class Context>
[[noreturn]] void ThrowLastError(Context&& context) {
  const DWORD error = GetLastError();
  if constexpr (std::is_invocable_v<Context>)
    ThrowSystemError(error, std::forward<Context>(context)());
  else
    ThrowSystemError(error, context);
}

}  // namespace fw::win32
