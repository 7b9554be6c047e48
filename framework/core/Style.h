#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "framework/core/Color.h"

namespace fw {

// A visual style: a name, a version, a colour table (element name to colour) and a
// font-colour table (text element name to colour). Names in the tables are looked up
// without regard to case.
struct TStyle {
  std::string Name;
  std::string Version;
  std::map<std::string, TColor> Colors;
  std::map<std::string, TColor> FontColors;
  friend bool operator==(const TStyle&, const TStyle&) = default;
};

// The embedded form: the signature "DZSTYLE1" and then a zlib stream of UTF-8 lines
// "name=…", "version=…", "color.<Element>=#RRGGBB", "font.<Element>=#RRGGBB".
inline constexpr char kStyleSignature[] = "DZSTYLE1";
inline constexpr std::size_t kStyleSignatureLength = sizeof kStyleSignature - 1;
std::vector<std::uint8_t> EncodeStyle(const TStyle& style);
// Nothing when the data is not a readable style (signature, stream or name missing).
std::optional<TStyle> DecodeStyle(std::span<const std::uint8_t> data);

// Case-insensitive comparison of style names, as the style manager looks them up.
bool SameStyleName(const std::string& a, const std::string& b);

// How a push button looks in one of its states under a style.
enum class TButtonState { Normal, Hot, Focused, Pressed, Disabled };
struct TButtonLook {
  std::optional<TColor> Face;  // none: transparent, the background shows through
  TColor Border;
  int BorderWidth = 2;
  TColor Text;
  friend bool operator==(const TButtonLook&, const TButtonLook&) = default;
};

// The rules by which a style colours controls; each falls back to `fallback` when the
// style does not name the element.
TColor StyleColor(const TStyle& style, const std::string& element, TColor fallback);
TColor StyleFontColor(const TStyle& style, const std::string& element, TColor fallback);
TButtonLook ButtonLook(const TStyle& style, TButtonState state);

}  // namespace fw
