#include <gtest/gtest.h>

#include <vector>

#include "framework/core/StrokeTracker.h"
#include "framework/core/Strokes.h"
#include "tests/support/TestNames.h"

namespace fw {
namespace {

std::vector<TPoint> Sample(TPoint press, const std::vector<TPoint>& moves) {
  TStrokeSampler sampler;
  sampler.Press(press);
  for (TPoint m : moves) sampler.Move(m);
  return sampler.Samples();
}

TEST(StrokeSampling, WorkedExamples) {
  struct Case {
    const char* what;
    TPoint press;
    std::vector<TPoint> moves;
    std::vector<TPoint> samples;
  } cases[] = {
      {"moves under 5 pixels on both axes are not recorded",
       {0, 0},
       {{3, 4}, {4, 4}, {0, 5}},
       {{0, 0}, {0, 5}}},
      {"up to 8 pixels needs no filling", {0, 0}, {{8, 0}, {8, 8}}, {{0, 0}, {8, 0}, {8, 8}}},
      {"9 pixels: n is 1, nothing inserted", {0, 0}, {{9, 0}}, {{0, 0}, {9, 0}}},
      {"11 pixels: one sample in the middle", {0, 0}, {{11, 0}}, {{0, 0}, {5, 0}, {11, 0}}},
      {"20 pixels up: n is 3, two inserted",
       {100, 100},
       {{100, 80}},
       {{100, 100}, {100, 94}, {100, 87}, {100, 80}}},
      {"the larger axis decides n", {0, 0}, {{6, 21}}, {{0, 0}, {1, 5}, {3, 10}, {4, 15}, {6, 21}}},
  };
  for (const Case& c : cases) {
    const auto samples = Sample(c.press, c.moves);
    ASSERT_EQ(samples.size(), c.samples.size()) << c.what;
    for (std::size_t i = 0; i < samples.size(); ++i)
      EXPECT_EQ(samples[i], c.samples[i]) << c.what << " #" << i;
  }
}

// A stroke as a hand would make it: moves every few pixels along a path of corners.
std::vector<TPoint> Stroke(const std::vector<TPoint>& corners, int step = 7) {
  std::vector<TPoint> moves;
  for (std::size_t i = 1; i < corners.size(); ++i) {
    const TPoint a = corners[i - 1], b = corners[i];
    const int dx = b.X - a.X, dy = b.Y - a.Y;
    const int steps = std::max(1, std::max(std::abs(dx), std::abs(dy)) / step);
    for (int s = 1; s <= steps; ++s) moves.push_back({a.X + dx * s / steps, a.Y + dy * s / steps});
  }
  return Sample(corners.front(), moves);
}

struct StrokeCase {
  const char* what;
  std::vector<TPoint> samples;
  TStrokeVerdict verdict;
  friend void PrintTo(const StrokeCase& c, std::ostream* out) { *out << c.what; }
};

class StrokeTable : public testing::TestWithParam<StrokeCase> {};

TEST_P(StrokeTable, IsRecognisedByTheSwipeUpRule) {
  EXPECT_EQ(RecognizeStroke(GetParam().samples), GetParam().verdict);
}

using V = TStrokeVerdict;
INSTANTIATE_TEST_SUITE_P(
    Strokes, StrokeTable,
    testing::Values(
        StrokeCase{"straight up", Stroke({{200, 400}, {200, 300}}), V::SwipeUp},
        StrokeCase{"slightly slanted up", Stroke({{200, 400}, {230, 300}}), V::SwipeUp},
        StrokeCase{"up with a small wobble",
                   Stroke({{200, 400}, {205, 370}, {196, 340}, {204, 310}, {200, 290}}),
                   V::SwipeUp},
        StrokeCase{"just long enough", Stroke({{10, 60}, {10, 10}}), V::SwipeUp},
        StrokeCase{"up then sideways", Stroke({{200, 400}, {200, 300}, {280, 300}}), V::NoGesture},
        StrokeCase{"diagonal", Stroke({{200, 400}, {300, 300}}), V::NoGesture},
        StrokeCase{"down", Stroke({{200, 300}, {200, 400}}), V::NoGesture},
        StrokeCase{"horizontal", Stroke({{100, 300}, {300, 300}}), V::NoGesture},
        StrokeCase{"zigzag up",
                   Stroke({{200, 400}, {240, 375}, {160, 350}, {240, 325}, {160, 300}, {200, 280}}),
                   V::NoGesture},
        StrokeCase{"down then up past the start", Stroke({{200, 300}, {200, 360}, {200, 220}}),
                   V::NoGesture},
        StrokeCase{"short rise", Stroke({{200, 400}, {200, 370}}), V::NoGesture},
        StrokeCase{"tiny drag", Sample({200, 400}, {{200, 394}}), V::TooShort},
        StrokeCase{"click", Sample({200, 400}, {}), V::TooShort}),
    [](const testing::TestParamInfo<StrokeCase>& info) { return TestName(info.param.what); });

// What a backend feeds: only a press starts a stroke, and a cancel (another window took the
// pointer) ends it unrecognised, so neither a stray release nor a stale stroke is a gesture.
TEST(StrokeTracking, OnlyAStrokeFromAPressToItsOwnReleaseIsJudged) {
  using V = TStrokeVerdict;
  TStrokeTracker tracker;
  tracker.Move({200, 300});
  EXPECT_EQ(tracker.Release({200, 200}), V::TooShort) << "a release without a press";

  tracker.Press({200, 400});
  for (int y = 390; y >= 300; y -= 10) tracker.Move({200, y});
  EXPECT_TRUE(tracker.Tracking());
  EXPECT_EQ(tracker.Release({200, 290}), V::SwipeUp);
  EXPECT_FALSE(tracker.Tracking());
  tracker.Move({200, 100});
  EXPECT_EQ(tracker.Release({200, 90}), V::TooShort) << "the stroke ended with its release";

  tracker.Press({200, 400});
  tracker.Move({200, 350});
  tracker.Cancel();
  EXPECT_EQ(tracker.Release({200, 290}), V::TooShort) << "a cancelled stroke";

  tracker.Press({100, 300});
  tracker.Move({300, 300});
  EXPECT_EQ(tracker.Release({300, 300}), V::NoGesture) << "a new press starts afresh";
}

}  // namespace
}  // namespace fw
