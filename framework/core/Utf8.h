#pragma once

#include <string_view>

namespace fw {

// The last code point of UTF-8 text; U+FFFD where the text ends in a broken sequence,
// 0 for empty text.
char32_t LastCodePoint(std::string_view text);

}  // namespace fw
