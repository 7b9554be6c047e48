#pragma once

#include <string>

#include "framework/core/Color.h"

namespace fw {

enum class TFontCharset { Default, Ansi };

struct TFont {
  std::string Name = "Segoe UI";
  // Negative: character height in pixels; positive: cell height (the platform's convention).
  int Height = -12;
  bool Bold = false;
  bool Italic = false;
  TFontCharset Charset = TFontCharset::Default;
  TColor Color = clWindowText;
  friend bool operator==(const TFont&, const TFont&) = default;
};

}  // namespace fw
