#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/Base64.h"
#include "tests/fuzz/Require.h"

namespace {

// Standard alphabet with padding, a line break after every 76 characters.
std::string Encode(const std::uint8_t* data, std::size_t size) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t i = 0; i < size; i += 3) {
    const std::size_t n = size - i < 3 ? size - i : 3;
    std::uint32_t group = std::uint32_t{data[i]} << 16;
    if (n > 1) group |= std::uint32_t{data[i + 1]} << 8;
    if (n > 2) group |= data[i + 2];
    for (std::size_t k = 0; k < 4; ++k)
      text += k <= n ? alphabet[(group >> (18 - 6 * k)) & 63] : '=';
    if (i % 57 == 54) text += "\r\n";
  }
  return text;
}

}  // namespace

// Any text decodes or is refused; any bytes, encoded, decode to themselves.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fw::DecodeBase64(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto decoded = fw::DecodeBase64(Encode(data, size));
  Require(decoded && decoded->size() == size && std::equal(data, data + size, decoded->begin()));
  return 0;
}
