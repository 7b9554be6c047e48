#include "framework/core/Color.h"

#include <array>
#include <utility>

namespace fw {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<TColor> ParseColor(std::string_view text) {
  static constexpr std::array<std::pair<std::string_view, TColor>, 5> named{{
      {"clWindowText", clWindowText},
      {"clBtnFace", clBtnFace},
      {"clYellow", clYellow},
      {"clWhite", clWhite},
      {"clBlack", clBlack},
  }};
  for (const auto& [name, color] : named) {
    if (name == text) return color;
  }
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  int channels[3];
  for (int i = 0; i < 3; ++i) {
    const int high = HexDigit(text[1 + 2 * i]);
    const int low = HexDigit(text[2 + 2 * i]);
    if (high < 0 || low < 0) return std::nullopt;
    channels[i] = high * 16 + low;
  }
  return TColor::Rgb(static_cast<std::uint8_t>(channels[0]), static_cast<std::uint8_t>(channels[1]),
                     static_cast<std::uint8_t>(channels[2]));
}

}  // namespace fw
