#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "framework/core/Png.h"
#include "tests/support/TestNames.h"

namespace fw {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFixture(const std::string& name) {
  std::ifstream in(std::string(FIXTURES_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The fixtures were written by another encoder with adaptive filtering (every filter type
// occurs among them); the .rgba files are that tool's own decoding of them.
class PngFixtures : public testing::TestWithParam<const char*> {};

TEST_P(PngFixtures, DecodeToTheSamePixelsAsAnIndependentDecoder) {
  const std::string base = GetParam();
  const TBitmap bitmap = DecodePng(ReadFixture(base + ".png"));
  const Bytes expected = ReadFixture(base + ".rgba");
  ASSERT_EQ(bitmap.Rgba.size(), static_cast<std::size_t>(bitmap.Width * bitmap.Height * 4));
  EXPECT_EQ(bitmap.Rgba, expected);
}

INSTANTIATE_TEST_SUITE_P(Png, PngFixtures,
                         testing::Values("rgba-adaptive", "rgb-adaptive", "grey", "palette"));

// Rewrites the CRC of the chunk whose type starts at `typeAt`, after a deliberate edit.
void FixCrc(Bytes& png, std::size_t typeAt) {
  const std::uint32_t length =
      (png[typeAt - 4] << 24) | (png[typeAt - 3] << 16) | (png[typeAt - 2] << 8) | png[typeAt - 1];
  const std::uint32_t crc = crc32(0, &png[typeAt], length + 4);
  for (int i = 0; i < 4; ++i)
    png[typeAt + 4 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
}

// A chunk with its length and CRC, to be inserted at a chunk boundary.
Bytes Chunk(const std::string& type, const Bytes& body) {
  Bytes chunk(12 + body.size());
  auto put32 = [&chunk](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) chunk[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
  };
  put32(0, static_cast<std::uint32_t>(body.size()));
  std::copy(type.begin(), type.end(), chunk.begin() + 4);
  std::copy(body.begin(), body.end(), chunk.begin() + 8);
  put32(8 + body.size(), crc32(0, &chunk[4], static_cast<uInt>(4 + body.size())));
  return chunk;
}

struct Damage {
  const char* what;
  std::function<void(Bytes&)> apply;
  const char* message;
  friend void PrintTo(const Damage& c, std::ostream* out) { *out << c.what; }
};

class PngDamage : public testing::TestWithParam<Damage> {};

TEST_P(PngDamage, IsReportedNotDecoded) {
  Bytes png = ReadFixture("rgba-adaptive.png");
  GetParam().apply(png);
  try {
    DecodePng(png);
    FAIL() << GetParam().what;
  } catch (const EPngError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
  }
}

constexpr std::size_t kIhdrType = 12;  // the IHDR chunk's type follows signature and length

std::size_t ChunkType(const Bytes& png, const char* type) {
  const std::string text(png.begin(), png.end());
  return text.find(type);
}

// Sets the IHDR's width and height.
void Resize(Bytes& png, std::uint32_t width, std::uint32_t height) {
  for (int i = 0; i < 4; ++i) {
    png[kIhdrType + 4 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
    png[kIhdrType + 8 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
  }
  FixCrc(png, kIhdrType);
}

void InsertBefore(Bytes& png, const char* type, const Bytes& chunk) {
  png.insert(png.begin() + static_cast<std::ptrdiff_t>(ChunkType(png, type) - 4), chunk.begin(),
             chunk.end());
}

INSTANTIATE_TEST_SUITE_P(
    Png, PngDamage,
    testing::Values(Damage{"bad signature", [](Bytes& p) { p[1] = 'Q'; }, "bad signature"},
                    Damage{"empty", [](Bytes& p) { p.clear(); }, "bad signature"},
                    Damage{"truncated", [](Bytes& p) { p.resize(p.size() / 2); }, "truncated"},
                    Damage{"bad CRC", [](Bytes& p) { p[kIhdrType + 4] ^= 1; },
                           "IHDR fails its CRC check"},
                    Damage{"16-bit depth",
                           [](Bytes& p) {
                             p[kIhdrType + 12] = 16;
                             FixCrc(p, kIhdrType);
                           },
                           "only 8-bit"},
                    Damage{"interlaced",
                           [](Bytes& p) {
                             p[kIhdrType + 16] = 1;
                             FixCrc(p, kIhdrType);
                           },
                           "interlaced"},
                    Damage{"huge size",
                           [](Bytes& p) {
                             p[kIhdrType + 4] = 0x7F;
                             FixCrc(p, kIhdrType);
                           },
                           "unsupported size"},
                    Damage{"over the pixel budget", [](Bytes& p) { Resize(p, 4096, 4096); },
                           "unsupported size 4096 x 4096"},
                    Damage{"taller than its data", [](Bytes& p) { Resize(p, 13, 10); },
                           "shorter than the header says"},
                    Damage{"far larger than its data could hold",
                           [](Bytes& p) { Resize(p, 2048, 2048); }, "shorter than the header says"},
                    Damage{"shorter than its data", [](Bytes& p) { Resize(p, 13, 8); },
                           "longer than the header says"},
                    Damage{"data after the stream's end",
                           [](Bytes& p) {
                             InsertBefore(p, "IEND", Chunk("IDAT", {0, 0, 0}));
                           },
                           "longer than the header says"},
                    Damage{"a second header",
                           [](Bytes& p) {
                             const Bytes ihdr(p.begin() + kIhdrType + 4,
                                              p.begin() + kIhdrType + 17);
                             InsertBefore(p, "IDAT", Chunk("IHDR", ihdr));
                           },
                           "more than one IHDR"},
                    Damage{"a header that is not first",
                           [](Bytes& p) {
                             InsertBefore(p, "IHDR", Chunk("tEXt", {'a', 0, 'b'}));
                           },
                           "IHDR is not first"},
                    Damage{"corrupt image data",
                           [](Bytes& p) {
                             const std::size_t at = ChunkType(p, "IDAT");
                             p[at + 6] ^= 0xFF;
                             p[at + 7] ^= 0xFF;
                             FixCrc(p, at);
                           },
                           "PNG: image data"}),
    [](const testing::TestParamInfo<Damage>& info) { return TestName(info.param.what); });

}  // namespace
}  // namespace fw
