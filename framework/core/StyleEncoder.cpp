#include <zlib.h>

#include <cstring>

#include "framework/core/Style.h"

// Kept apart from the decoder: the program only reads styles, and linking this file would
// bring zlib's compressor in with it.
namespace fw {

namespace {

std::string Hex(TColor color) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text = "#";
  for (std::uint8_t channel : {color.R(), color.G(), color.B()}) {
    text += digits[channel >> 4];
    text += digits[channel & 15];
  }
  return text;
}

}  // namespace

std::vector<std::uint8_t> EncodeStyle(const TStyle& style) {
  std::string text = "name=" + style.Name + "\nversion=" + style.Version + "\n";
  for (const auto& [name, color] : style.Colors) text += "color." + name + "=" + Hex(color) + "\n";
  for (const auto& [name, color] : style.FontColors)
    text += "font." + name + "=" + Hex(color) + "\n";
  uLongf size = compressBound(static_cast<uLong>(text.size()));
  std::vector<std::uint8_t> out(kStyleSignatureLength + size);
  std::memcpy(out.data(), kStyleSignature, kStyleSignatureLength);
  compress2(out.data() + kStyleSignatureLength, &size, reinterpret_cast<const Bytef*>(text.data()),
            static_cast<uLong>(text.size()), Z_BEST_COMPRESSION);
  out.resize(kStyleSignatureLength + size);
  return out;
}

}  // namespace fw
