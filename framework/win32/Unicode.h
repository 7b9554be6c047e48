#pragma once

#include <string>
#include <string_view>

namespace fw::win32 {

// UTF-8 (the core's text) to and from UTF-16 (the system's).
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace fw::win32
