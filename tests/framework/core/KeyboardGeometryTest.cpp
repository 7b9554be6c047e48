#include <gtest/gtest.h>

#include "framework/core/KeyboardGeometry.h"
#include "framework/core/Scaling.h"

namespace {

using fw::TInputPurpose;
using fw::TKeyboardPageId;

struct Screen {
  int width;
  int pixelsPerInch;
};

// Every key of every page: at least the minimum size, inside the panel's height, apart from
// its neighbours, found again by a tap at its centre; the widest row spans the panel.
TEST(KeyboardGeometry, KeysAreLargeEnoughApartAndFoundWhereTheyShow) {
  const Screen screens[] = {{1340, 96}, {2010, 144}, {1024, 96}, {400, 96}, {1920, 192}};
  const TKeyboardPageId pages[] = {TKeyboardPageId::Russian, TKeyboardPageId::English,
                                   TKeyboardPageId::Symbols, TKeyboardPageId::Digits};
  for (const Screen& s : screens) {
    const int minimum = fw::ScaleToDpi(fw::KeyMinimumDesign, s.pixelsPerInch);
    const int height = fw::KeyboardHeight(s.pixelsPerInch);
    for (TKeyboardPageId page : pages) {
      for (TInputPurpose purpose : {TInputPurpose::FreeForm, TInputPurpose::Email}) {
        const auto rows = fw::KeyboardPage(page, purpose);
        ASSERT_EQ(rows.size(), std::size_t{fw::KeyboardRows});
        const auto places = fw::PlaceKeys(rows, s.width, s.pixelsPerInch);
        const std::string what = std::string(fw::PageName(page)) + " at " +
                                 std::to_string(s.width) + "/" + std::to_string(s.pixelsPerInch);
        for (std::size_t k = 0; k < places.size(); ++k) {
          const fw::TBounds& b = places[k].Bounds;
          EXPECT_GE(b.Width, minimum) << what << " key " << k;
          EXPECT_GE(b.Height, minimum) << what << " key " << k;
          EXPECT_GT(b.Top, 0) << what;
          EXPECT_LT(b.Bottom(), height) << what;
          if (k > 0 && places[k - 1].Row == places[k].Row) {
            EXPECT_GT(b.Left, places[k - 1].Bounds.Right()) << what << " key " << k;
          }
          const fw::TKeyPlace* hit =
              fw::KeyAt(places, {b.Left + b.Width / 2, b.Top + b.Height / 2});
          ASSERT_NE(hit, nullptr) << what;
          EXPECT_EQ(hit, &places[k]) << what;
        }
        if (page == TKeyboardPageId::Russian && s.width >= 1024) {
          EXPECT_LE(places.front().Bounds.Left, fw::ScaleToDpi(8, s.pixelsPerInch)) << what;
          EXPECT_GE(places[11].Bounds.Right(), s.width - fw::ScaleToDpi(8, s.pixelsPerInch))
              << what;
        }
      }
    }
  }
}

TEST(KeyboardGeometry, TheGapsBetweenKeysTakeNoTap) {
  const auto places = fw::PlaceKeys(fw::KeyboardPage(TKeyboardPageId::Russian, {}), 1340, 96);
  const fw::TBounds& first = places[0].Bounds;
  EXPECT_EQ(fw::KeyAt(places, {first.Right() + 1, first.Top + 5}), nullptr);
  EXPECT_EQ(fw::KeyAt(places, {first.Left + 5, first.Top - 1}), nullptr);
}

}  // namespace
