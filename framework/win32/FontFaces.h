#pragma once

#include <string>

namespace fw::win32 {

// `face` when the system has it, else `fallback`: a missing face is replaced by the
// framework's own default, rather than by whatever the font mapper would pick.
std::wstring AvailableFace(const std::string& face, const wchar_t* fallback);

}  // namespace fw::win32
