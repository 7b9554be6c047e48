#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "framework/core/StandardControls.h"

namespace fw {
namespace {

// A 1000 x 600 container and children created in order, as a layout would.
class AlignFixture : public testing::Test {
 protected:
  TPanel parent{nullptr};
  std::vector<std::unique_ptr<TControl>> children;

  TControl& Add(TAlign align, TBounds bounds) {
    children.push_back(std::make_unique<TPanel>(nullptr));
    TControl& c = *children.back();
    c.SetParent(&parent);
    c.SetBounds(bounds);
    c.SetAlign(align);
    return c;
  }
  void SetUp() override { parent.SetBounds({0, 0, 1000, 600}); }
};

TEST_F(AlignFixture, LeftDockTakesItsWidthAndClientChildrenShareTheRest) {
  TControl& browser = Add(TAlign::alClient, {5, 5, 10, 10});
  TControl& pane = Add(TAlign::alLeft, {0, 0, 200, 10});
  TControl& splash = Add(TAlign::alClient, {0, 0, 1, 1});
  TControl& floating = Add(TAlign::alNone, {0, 525, 1000, 75});
  EXPECT_EQ(pane.Bounds(), (TBounds{0, 0, 200, 600}));
  EXPECT_EQ(browser.Bounds(), (TBounds{200, 0, 800, 600}));
  EXPECT_EQ(splash.Bounds(), (TBounds{200, 0, 800, 600}));
  EXPECT_EQ(floating.Bounds(), (TBounds{0, 525, 1000, 75}));

  parent.SetBounds({0, 0, 1280, 800});
  EXPECT_EQ(pane.Bounds(), (TBounds{0, 0, 200, 800}));
  EXPECT_EQ(splash.Bounds(), (TBounds{200, 0, 1080, 800}));
  EXPECT_EQ(floating.Bounds(), (TBounds{0, 525, 1000, 75}));
}

TEST_F(AlignFixture, EdgesAreTakenTopBottomLeftRightThenClient) {
  TControl& client = Add(TAlign::alClient, {});
  TControl& right = Add(TAlign::alRight, {0, 0, 60, 0});
  TControl& left = Add(TAlign::alLeft, {0, 0, 100, 0});
  TControl& bottom = Add(TAlign::alBottom, {0, 0, 0, 50});
  TControl& top = Add(TAlign::alTop, {0, 0, 0, 40});
  EXPECT_EQ(top.Bounds(), (TBounds{0, 0, 1000, 40}));
  EXPECT_EQ(bottom.Bounds(), (TBounds{0, 550, 1000, 50}));
  EXPECT_EQ(left.Bounds(), (TBounds{0, 40, 100, 510}));
  EXPECT_EQ(right.Bounds(), (TBounds{940, 40, 60, 510}));
  EXPECT_EQ(client.Bounds(), (TBounds{100, 40, 840, 510}));
}

TEST_F(AlignFixture, HiddenChildrenLeaveTheirStripToOthers) {
  TControl& pane = Add(TAlign::alLeft, {0, 0, 200, 0});
  TControl& client = Add(TAlign::alClient, {});
  pane.Hide();
  EXPECT_EQ(client.Bounds(), (TBounds{0, 0, 1000, 600}));
  pane.Show();
  EXPECT_EQ(client.Bounds(), (TBounds{200, 0, 800, 600}));
}

TEST_F(AlignFixture, ATooSmallParentNeverGivesNegativeSizes) {
  parent.SetBounds({0, 0, 150, 600});
  Add(TAlign::alLeft, {0, 0, 200, 0});
  TControl& client = Add(TAlign::alClient, {});
  EXPECT_EQ(client.Bounds().Width, 0);
}

TEST_F(AlignFixture, AnOverfullParentDocksBottomChildrenToItsEdgeWithoutOverflow) {
  Add(TAlign::alTop, {0, 0, 0, 700});
  Add(TAlign::alTop, {0, 0, 0, INT_MAX});
  TControl& top = Add(TAlign::alTop, {0, 0, 0, INT_MAX});
  TControl& bottom = Add(TAlign::alBottom, {0, 0, 0, INT_MAX});
  TControl& right = Add(TAlign::alRight, {0, 0, INT_MAX, 0});
  TControl& client = Add(TAlign::alClient, {});
  EXPECT_EQ(top.Bounds(), (TBounds{0, 600, 1000, INT_MAX}));
  EXPECT_EQ(bottom.Bounds(), (TBounds{0, 600 - INT_MAX, 1000, INT_MAX}));
  EXPECT_EQ(right.Bounds(), (TBounds{1000 - INT_MAX, 600, INT_MAX, 0}));
  EXPECT_EQ(client.Bounds(), (TBounds{0, 600, 0, 0}));
  EXPECT_EQ(top.Bounds().Bottom(), INT_MAX);  // held at the limit rather than wrapping
}

TEST_F(AlignFixture, ChangeScaleScalesLengthsOwnFontsAndRealigns) {
  TControl& pane = Add(TAlign::alLeft, {0, 0, 200, 0});
  TControl& button = Add(TAlign::alNone, {16, 24, 161, 34});
  TControl& splash = Add(TAlign::alClient, {});
  splash.Font.Height = -64;
  splash.ParentFont = false;
  parent.Font.Height = -19;
  parent.ParentFont = false;
  parent.ChangeScale(144, 96);
  EXPECT_EQ(parent.Bounds(), (TBounds{0, 0, 1500, 900}));
  EXPECT_EQ(pane.Bounds(), (TBounds{0, 0, 300, 900}));
  EXPECT_EQ(button.Bounds(), (TBounds{24, 36, 242, 51}));
  EXPECT_EQ(splash.Bounds(), (TBounds{300, 0, 1200, 900}));
  EXPECT_EQ(splash.Font.Height, -96);
  EXPECT_EQ(button.EffectiveFont().Height, -29);  // inherited from the scaled parent
}

TEST_F(AlignFixture, TabOrderAndFirstFocusableSkipHiddenAndNonStops) {
  TControl& bar = Add(TAlign::alNone, {});
  bar.TabOrder = 0;
  bar.Hide();
  auto inner = std::make_unique<TButton>(nullptr);
  inner->SetParent(static_cast<TPanel*>(&bar));
  TControl& pane = Add(TAlign::alLeft, {0, 0, 10, 0});
  pane.TabOrder = 1;
  auto second = std::make_unique<TButton>(nullptr);
  second->TabOrder = 1;
  second->SetParent(static_cast<TPanel*>(&pane));
  auto first = std::make_unique<TButton>(nullptr);
  first->TabOrder = 0;
  first->SetParent(static_cast<TPanel*>(&pane));
  EXPECT_EQ(parent.FirstFocusable(), first.get());
  first->Hide();
  EXPECT_EQ(parent.FirstFocusable(), second.get());
  bar.Show();
  EXPECT_EQ(parent.FirstFocusable(), inner.get());
}

}  // namespace
}  // namespace fw
