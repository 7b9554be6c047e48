#include "framework/core/Utf8.h"

namespace fw {

char32_t LastCodePoint(std::string_view text) {
  if (text.empty()) return 0;
  std::size_t start = text.size() - 1;
  int continuation = 0;
  while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80 &&
         continuation < 3) {
    --start;
    ++continuation;
  }
  const auto lead = static_cast<unsigned char>(text[start]);
  int length;
  char32_t cp;
  if (lead < 0x80) {
    length = 1;
    cp = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    cp = lead & 0x07;
  } else {
    return 0xFFFD;
  }
  if (static_cast<std::size_t>(length) != text.size() - start) return 0xFFFD;
  for (std::size_t i = start + 1; i < text.size(); ++i) {
    cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are broken sequences too.
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[length] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0xFFFD;
  return cp;
}

}  // namespace fw
