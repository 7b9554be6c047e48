#pragma once

#include <string>

#include "framework/core/Font.h"
#include "framework/win32/Handles.h"

namespace fw::win32 {

// `face` when the system has it, else `fallback`: a missing face is replaced by the
// framework's own default, rather than by whatever the font mapper would pick.
std::wstring AvailableFace(const std::string& face, const wchar_t* fallback);

// `font` as the system draws it, `height` device pixels high (negative: the character height);
// empty when the system refuses it.
UniqueFont CreateFontOf(const fw::TFont& font, int height, const wchar_t* fallback);

}  // namespace fw::win32
