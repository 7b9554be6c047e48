#include "framework/core/Png.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

namespace fw {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Far beyond any picture a layout carries (a full-screen one fits); keeps a corrupt header
// from asking for gigabytes.
constexpr std::uint64_t kMaxPixels = 2048 * 2048;
// No deflate stream expands further than this, so a header that claims more than its data
// could ever hold is refused before the output is allocated.
constexpr std::uint64_t kMaxInflateRatio = 1032;

std::uint32_t ReadBigEndian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         std::uint32_t{p[3]};
}

int ChannelsOf(int colorType) {
  switch (colorType) {
    case 0:
      return 1;  // grey
    case 2:
      return 3;  // RGB
    case 3:
      return 1;  // palette index
    case 4:
      return 2;  // grey, alpha
    case 6:
      return 4;  // RGBA
    default:
      return 0;
  }
}

std::uint8_t Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
  if (pb <= pc) return static_cast<std::uint8_t>(b);
  return static_cast<std::uint8_t>(c);
}

std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& compressed,
                                  std::size_t expected) {
  constexpr const char* kShorter = "PNG: image data is shorter than the header says";
  constexpr const char* kLonger = "PNG: image data is longer than the header says";
  if (expected / kMaxInflateRatio > compressed.size()) throw EPngError(kShorter);
  std::vector<std::uint8_t> out(expected);
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) throw EPngError("PNG: cannot start inflating");
  stream.next_in = const_cast<Bytef*>(compressed.data());
  stream.avail_in = static_cast<uInt>(compressed.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  const int rc = inflate(&stream, Z_FINISH);
  const std::size_t produced = out.size() - stream.avail_out;
  const std::size_t unread = stream.avail_in;
  inflateEnd(&stream);
  if (rc != Z_STREAM_END) {
    throw EPngError(rc == Z_BUF_ERROR && produced == expected
                        ? kLonger
                        : "PNG: image data is corrupt or truncated");
  }
  if (produced != expected) throw EPngError(kShorter);
  if (unread != 0) throw EPngError(kLonger);  // more data after the stream's end
  return out;
}

// Undoes the per-row filters in place; `rows` holds a filter byte before each row.
void Unfilter(std::vector<std::uint8_t>& rows, std::size_t height, std::size_t stride, int bpp) {
  std::vector<std::uint8_t> zero(stride, 0);
  const std::uint8_t* previous = zero.data();
  for (std::size_t y = 0; y < height; ++y) {
    std::uint8_t* row = rows.data() + y * (stride + 1);
    const std::uint8_t filter = row[0];
    std::uint8_t* px = row + 1;
    for (std::size_t x = 0; x < stride; ++x) {
      const int a = x >= static_cast<std::size_t>(bpp) ? px[x - bpp] : 0;
      const int b = previous[x];
      const int c = x >= static_cast<std::size_t>(bpp) ? previous[x - bpp] : 0;
      switch (filter) {
        case 0:
          break;
        case 1:
          px[x] = static_cast<std::uint8_t>(px[x] + a);
          break;
        case 2:
          px[x] = static_cast<std::uint8_t>(px[x] + b);
          break;
        case 3:
          px[x] = static_cast<std::uint8_t>(px[x] + (a + b) / 2);
          break;
        case 4:
          px[x] = static_cast<std::uint8_t>(px[x] + Paeth(a, b, c));
          break;
        default:
          throw EPngError("PNG: unknown row filter " + std::to_string(filter));
      }
    }
    previous = px;
  }
}

}  // namespace

TBitmap DecodePng(std::span<const std::uint8_t> data) {
  if (data.size() < kSignature.size() ||
      !std::equal(kSignature.begin(), kSignature.end(), data.begin())) {
    throw EPngError("PNG: not a PNG file (bad signature)");
  }
  std::uint32_t width = 0, height = 0;
  int colorType = -1;
  std::vector<std::uint8_t> idat;
  std::vector<std::array<std::uint8_t, 4>> palette;
  bool ended = false;
  std::size_t pos = kSignature.size();
  while (!ended) {
    if (data.size() - pos < 12) throw EPngError("PNG: file is truncated");
    const std::uint32_t length = ReadBigEndian32(&data[pos]);
    if (length > data.size() - pos - 12) throw EPngError("PNG: file is truncated");
    const std::uint8_t* type = &data[pos + 4];
    const std::uint8_t* body = &data[pos + 8];
    const std::uint32_t stored = ReadBigEndian32(body + length);
    if (crc32(0, type, length + 4) != stored) {
      throw EPngError("PNG: chunk " + std::string(type, type + 4) + " fails its CRC check");
    }
    const std::string name(type, type + 4);
    if ((pos == kSignature.size()) != (name == "IHDR")) {
      // A second header would redefine the picture after its size was checked.
      throw EPngError(name == "IHDR" ? "PNG: more than one IHDR" : "PNG: IHDR is not first");
    }
    if (name == "IHDR") {
      if (length != 13) throw EPngError("PNG: IHDR has the wrong length");
      width = ReadBigEndian32(body);
      height = ReadBigEndian32(body + 4);
      const int depth = body[8];
      colorType = body[9];
      if (width == 0 || height == 0 || std::uint64_t{width} * height > kMaxPixels) {
        throw EPngError("PNG: unsupported size " + std::to_string(width) + " x " +
                        std::to_string(height));
      }
      if (depth != 8 || ChannelsOf(colorType) == 0) {
        throw EPngError("PNG: only 8-bit grey, grey-alpha, RGB, RGBA and palette images are read");
      }
      if (body[10] != 0 || body[11] != 0)
        throw EPngError("PNG: unknown compression or filter method");
      if (body[12] != 0) throw EPngError("PNG: interlaced images are not read");
    } else if (name == "PLTE") {
      if (length % 3 != 0 || length / 3 > 256) throw EPngError("PNG: malformed palette");
      palette.clear();
      for (std::uint32_t i = 0; i < length; i += 3)
        palette.push_back({body[i], body[i + 1], body[i + 2], 255});
    } else if (name == "tRNS" && colorType == 3) {
      for (std::uint32_t i = 0; i < length && i < palette.size(); ++i) palette[i][3] = body[i];
    } else if (name == "IDAT") {
      idat.insert(idat.end(), body, body + length);
    } else if (name == "IEND") {
      ended = true;
    } else if ((type[0] & 0x20) == 0) {
      throw EPngError("PNG: unknown critical chunk " + name);
    }
    pos += 12 + length;
  }
  if (idat.empty()) throw EPngError("PNG: no image data");
  if (colorType == 3 && palette.empty()) throw EPngError("PNG: palette image without a palette");

  const int channels = ChannelsOf(colorType);
  const std::size_t stride = static_cast<std::size_t>(width) * channels;
  std::vector<std::uint8_t> rows = Inflate(idat, (stride + 1) * height);
  Unfilter(rows, height, stride, channels);

  TBitmap bitmap;
  bitmap.Width = static_cast<int>(width);
  bitmap.Height = static_cast<int>(height);
  bitmap.Rgba.resize(static_cast<std::size_t>(width) * height * 4);
  for (std::size_t y = 0; y < height; ++y) {
    const std::uint8_t* src = rows.data() + y * (stride + 1) + 1;
    std::uint8_t* dst = bitmap.Rgba.data() + y * width * 4;
    for (std::size_t x = 0; x < width; ++x, dst += 4) {
      const std::uint8_t* s = src + x * channels;
      switch (colorType) {
        case 0:
          dst[0] = dst[1] = dst[2] = s[0];
          dst[3] = 255;
          break;
        case 4:
          dst[0] = dst[1] = dst[2] = s[0];
          dst[3] = s[1];
          break;
        case 2:
          dst[0] = s[0];
          dst[1] = s[1];
          dst[2] = s[2];
          dst[3] = 255;
          break;
        case 6:
          dst[0] = s[0];
          dst[1] = s[1];
          dst[2] = s[2];
          dst[3] = s[3];
          break;
        case 3: {
          if (s[0] >= palette.size()) throw EPngError("PNG: palette index out of range");
          const auto& entry = palette[s[0]];
          dst[0] = entry[0];
          dst[1] = entry[1];
          dst[2] = entry[2];
          dst[3] = entry[3];
          break;
        }
      }
    }
  }
  return bitmap;
}

}  // namespace fw
