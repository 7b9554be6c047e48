#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/core/Bitmap.h"

namespace fw {
namespace {

struct PixelCase {
  std::uint8_t r, g, b, a;
  std::uint32_t expected;
};

TEST(PremultipliedBgra, ScalesEachChannelByAlphaAndRoundsDown) {
  const PixelCase cases[] = {
      {0xFF, 0x80, 0x01, 0xFF, 0xFFFF8001},  // opaque: unchanged
      {0xFF, 0xFF, 0xFF, 0x00, 0x00000000},  // transparent: no colour left
      {0xFF, 0x80, 0x40, 0x80, 0x80804020},  // half: 255*128/255, 128*128/255, 64*128/255
      {0x01, 0x02, 0x03, 0x7F, 0x7F000001},  // small channels round down
  };
  for (const PixelCase& c : cases) {
    EXPECT_EQ(PremultipliedBgra(c.r, c.g, c.b, c.a), c.expected)
        << int(c.r) << "," << int(c.g) << "," << int(c.b) << "," << int(c.a);
  }
}

TEST(PremultipliedBgra, WritesRowsAtTheStrideAndLeavesThePaddingAlone) {
  const TBitmap picture{2, 2, {0xFF, 0, 0, 0xFF, 0, 0xFF, 0, 0x80, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0}};
  const std::size_t stride = 12;  // two pixels and four bytes of padding
  std::vector<std::uint8_t> rows(stride * 2, 0xAB);
  WritePremultipliedBgra(picture, rows.data(), stride);
  auto word = [&](std::size_t offset) {
    std::uint32_t w;
    std::memcpy(&w, &rows[offset], sizeof w);
    return w;
  };
  EXPECT_EQ(word(0), 0xFFFF0000u);
  EXPECT_EQ(word(4), 0x80008000u);
  EXPECT_EQ(word(8), 0xABABABABu);
  EXPECT_EQ(word(12), 0xFF0000FFu);
  EXPECT_EQ(word(16), 0x00000000u);
  EXPECT_EQ(word(20), 0xABABABABu);
}

}  // namespace
}  // namespace fw
