#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/Utf8.h"
#include "tests/fuzz/Require.h"

namespace {

std::string Encode(char32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

}  // namespace

// Unless the ending is reported broken, the code point found is a Unicode scalar value whose
// shortest encoding is exactly how the text ends.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const char32_t cp = fw::LastCodePoint(text);
  if (text.empty()) {
    Require(cp == 0);
  } else if (cp != 0xFFFD) {
    Require(cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF));
    Require(text.ends_with(Encode(cp)));
  }
  return 0;
}
