#pragma once

#include <string>
#include <vector>

#include "framework/core/StyleManager.h"

namespace fw::win32 {

// The executable's resources of the style type (kStyleResourceType), by name.
inline constexpr wchar_t kStyleResourceType[] = L"DZSTYLE";
std::vector<fw::TStyleManager::EmbeddedStyle> EmbeddedStyles();

// The modal "Error" dialog for a missing style: error icon, the text, one "&Close" button,
// centred on the screen.
void ShowStyleNotFoundDialog(const std::string& text);

}  // namespace fw::win32
