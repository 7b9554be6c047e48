#include "framework/core/Style.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace fw {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

const TColor* Find(const std::map<std::string, TColor>& table, const std::string& element) {
  for (const auto& [name, color] : table) {
    if (SameStyleName(name, element)) return &color;
  }
  return nullptr;
}

}  // namespace

bool SameStyleName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

std::optional<TStyle> DecodeStyle(std::span<const std::uint8_t> data) {
  if (data.size() < kStyleSignatureLength ||
      std::memcmp(data.data(), kStyleSignature, kStyleSignatureLength) != 0) {
    return std::nullopt;
  }
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return std::nullopt;
  stream.next_in = const_cast<Bytef*>(data.data() + kStyleSignatureLength);
  stream.avail_in = static_cast<uInt>(data.size() - kStyleSignatureLength);
  std::string text;
  int rc = Z_OK;
  while (rc == Z_OK) {
    char buffer[4096];
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    rc = inflate(&stream, Z_NO_FLUSH);
    text.append(buffer, sizeof buffer - stream.avail_out);
    if (text.size() > (1u << 20)) rc = Z_DATA_ERROR;  // no style is this large
  }
  inflateEnd(&stream);
  if (rc != Z_STREAM_END) return std::nullopt;

  // Split by hand: a string stream would bring the whole locale machinery into the program.
  TStyle style;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    const auto equals = line.find('=');
    if (equals == std::string::npos) return std::nullopt;
    const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
    if (key == "name") {
      style.Name = value;
    } else if (key == "version") {
      style.Version = value;
    } else if (key.rfind("color.", 0) == 0 || key.rfind("font.", 0) == 0) {
      const auto color = ParseColor(value);
      if (!color) return std::nullopt;
      const bool isFont = key[0] == 'f';
      (isFont ? style.FontColors : style.Colors)[key.substr(isFont ? 5 : 6)] = *color;
    } else {
      return std::nullopt;
    }
  }
  if (style.Name.empty()) return std::nullopt;
  return style;
}

TColor StyleColor(const TStyle& style, const std::string& element, TColor fallback) {
  const TColor* color = Find(style.Colors, element);
  return color ? *color : fallback;
}

TColor StyleFontColor(const TStyle& style, const std::string& element, TColor fallback) {
  const TColor* color = Find(style.FontColors, element);
  return color ? *color : fallback;
}

TButtonLook ButtonLook(const TStyle& style, TButtonState state) {
  // Under the pointer and with the focus a button looks the same.
  static const char* const names[] = {"Normal", "Hot", "Hot", "Pressed", "Disabled"};
  const std::string name = names[static_cast<int>(state)];
  TButtonLook look;
  const TColor* face = Find(style.Colors, "Button" + name + "Face");
  if (face) look.Face = *face;
  look.Border = StyleColor(style, "Button" + name + "Border", look.Face.value_or(clBlack));
  look.Text = StyleFontColor(style, "Button" + name, clBlack);
  return look;
}

}  // namespace fw
