#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace fw {

// A colour as the layout states it: either a fixed RGB value or one of the system's colours,
// which only the platform can resolve.
struct TColor {
  static constexpr std::uint32_t SystemFlag = 0xFF000000u;
  std::uint32_t Value = 0;  // 0x00BBGGRR, or SystemFlag | system colour index

  static constexpr TColor Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return TColor{static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
                  (static_cast<std::uint32_t>(b) << 16)};
  }
  static constexpr TColor System(int index) {
    return TColor{SystemFlag | static_cast<std::uint32_t>(index)};
  }
  constexpr bool IsSystem() const { return (Value & SystemFlag) != 0; }
  constexpr int SystemIndex() const { return static_cast<int>(Value & 0xFFu); }
  constexpr std::uint8_t R() const { return Value & 0xFFu; }
  constexpr std::uint8_t G() const { return (Value >> 8) & 0xFFu; }
  constexpr std::uint8_t B() const { return (Value >> 16) & 0xFFu; }
  friend constexpr bool operator==(TColor, TColor) = default;
};

// The system colour indexes the layout may name (the same numbers as the platform's).
inline constexpr TColor clWindowText = TColor::System(8);
inline constexpr TColor clBtnFace = TColor::System(15);
inline constexpr TColor clYellow = TColor::Rgb(0xFF, 0xFF, 0x00);
inline constexpr TColor clWhite = TColor::Rgb(0xFF, 0xFF, 0xFF);
inline constexpr TColor clBlack = TColor::Rgb(0, 0, 0);

// "clBtnFace", "clYellow", ... or "#RRGGBB"; nothing for any other text.
std::optional<TColor> ParseColor(std::string_view text);

}  // namespace fw
