#include <gtest/gtest.h>

#include "framework/core/KeyRouting.h"

namespace fw {
namespace {

TEST(KeyRouting, DialogKeysFirstThenPreviewAndPageKeysToThePage) {
  using R = TKeyRoute;
  struct Case {
    std::uint16_t key;
    TShiftState shift;
    bool inPage, onButton;
    R route;
  } cases[] = {
      {vkReturn, 0, false, true, R::ClickFocused},
      {vkReturn, 0, false, false, R::Preview},  // no push button to click
      {vkTab, 0, false, true, R::TabForward},
      {vkTab, ssShift, false, true, R::TabBackward},
      {vkTab, ssCtrl, false, true, R::Preview},
      {vkDown, 0, false, true, R::NextSibling},
      {vkRight, 0, false, true, R::NextSibling},
      {vkUp, 0, false, true, R::PreviousSibling},
      {vkLeft, 0, false, true, R::PreviousSibling},
      {vkEscape, 0, false, true, R::Preview},  // no cancel button: Escape is no dialog key
      {'A', 0, false, true, R::Preview},
      {' ', 0, false, true, R::Preview},
      {0x70 /* F1 */, 0, false, true, R::Preview},
      {0x12 /* Alt */, ssAlt, false, true, R::Preview},
      {vkDown, ssAlt, false, true, R::Preview},
      {vkEscape, 0, true, false, R::Page},
      {vkTab, 0, true, false, R::Page},
      {'A', 0, true, false, R::Page},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RouteKeyDown(c.key, c.shift, c.inPage, c.onButton), c.route)
        << "key " << c.key << " shift " << c.shift << " page " << c.inPage;
  }
}

}  // namespace
}  // namespace fw
