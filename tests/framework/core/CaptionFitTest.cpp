#include <gtest/gtest.h>

#include "framework/core/CaptionFit.h"

namespace {

// Every code point, the ellipsis included, half the size wide: easy to reckon with.
int HalfSizeWide(std::string_view text, int size) {
  int codePoints = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++codePoints;
  return codePoints * size / 2;
}

TEST(CaptionFit, ShrinksBeforeItShortensAndKeepsBothEnds) {
  // Size 20: margins of 5 each side, a floor of 14 (7 pixels a code point).
  struct Case {
    const char* name;
    const char* caption;
    int width;
    fw::TCaptionFit fit;
  };
  const Case cases[] = {
      {"fits with room to spare", "Кабинет", 161, {20, "Кабинет"}},
      {"fits exactly between the margins", "abcdefghijklmnop", 170, {20, "abcdefghijklmnop"}},
      {"a pixel short: one size smaller", "abcdefghijklmnop", 169, {19, "abcdefghijklmnop"}},
      {"fits only at the floor", "abcdefghijklmnop", 122, {14, "abcdefghijklmnop"}},
      {"too long even at the floor: its middle gives way",
       "duvuzezera-clinic-network.example.org.xx",
       161,
       {14, "duvuzezera\u2026ple.org.xx"}},
      {"an odd room keeps the extra code point at the front",
       "abcdefghijklmnop",
       10 + 7 * 8,
       {14, "abcd\u2026nop"}},
      {"whole code points of Cyrillic",
       "Общее описание сайта клиники",
       10 + 7 * 10,
       {14, "Общее\u2026ники"}},
      {"room for the ellipsis alone", "abcdefghijklmnop", 10 + 7, {14, "\u2026"}},
      {"no room at all: nothing", "abcdefghijklmnop", 10 + 6, {14, ""}},
      {"a button not laid out yet", "abcdefghijklmnop", 0, {14, ""}},
      {"an empty caption", "", 161, {20, ""}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(fw::FitCaption(c.caption, c.width, 20, HalfSizeWide), c.fit) << c.name;
}

TEST(CaptionFit, TheFloorIsTwoThirdsOfTheSize) {
  EXPECT_EQ(fw::CaptionFloor(19), 13);
  EXPECT_EQ(fw::CaptionFloor(38), 26);
  EXPECT_EQ(fw::CaptionFloor(1), 1);
}

}  // namespace
