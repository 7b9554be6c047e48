#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>

#include "mainwindow/ExitCodeEntry.h"
#include "tests/support/TestNames.h"

namespace {

using namespace std::chrono_literals;
using Verdict = ExitCodeEntry::Verdict;

ExitCodeEntry::Clock::time_point At(std::chrono::milliseconds since) {
  return ExitCodeEntry::Clock::time_point{} + since;
}

struct KeysCase {
  std::string name;
  std::string code;
  std::string keys;      // digits, or '<' for the erase key; anything else a key of no digit
  std::string verdicts;  // one per key: '.' typing, 'R' right, 'W' wrong
  std::size_t typedAfter;
};

void PrintTo(const KeysCase& c, std::ostream* out) { *out << c.name; }

class ExitCodeKeys : public testing::TestWithParam<KeysCase> {};

TEST_P(ExitCodeKeys, AreCheckedOnlyAtTheCodesLengthAndForgottenThen) {
  const KeysCase& c = GetParam();
  ExitCodeEntry entry(c.code);
  entry.Start(At(0ms));
  std::string verdicts;
  for (char key : c.keys) {
    Verdict verdict = Verdict::Typing;
    if (key == '<') {
      entry.Erase(At(1s));
    } else {
      verdict = entry.Digit(key, At(1s));
    }
    verdicts += verdict == Verdict::Right ? 'R' : verdict == Verdict::Wrong ? 'W' : '.';
  }
  EXPECT_EQ(verdicts, c.verdicts);
  EXPECT_EQ(entry.Typed(), c.typedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitCodeKeys,
    testing::Values(KeysCase{"right", "2580", "2580", "...R", 0},
                    KeysCase{"wrong_last_digit", "2580", "2581", "...W", 0},
                    KeysCase{"too_few_is_no_verdict", "2580", "258", "...", 3},
                    KeysCase{"leading_zeros_count", "0007", "0007", "...R", 0},
                    KeysCase{"leading_zeros_are_digits", "0007", "7", ".", 1},
                    KeysCase{"erase_mends_a_slip", "2580", "259<80", ".....R", 0},
                    KeysCase{"erase_with_nothing_typed", "2580", "<<2580", ".....R", 0},
                    KeysCase{"erase_all_then_right", "2580", "11<<2580", ".......R", 0},
                    KeysCase{"after_wrong_typing_starts_over", "1234", "12351234", "...W...R", 0},
                    KeysCase{"no_digit_counts_nothing", "1234", "12a 34", ".....R", 0},
                    KeysCase{"twelve_digits", "123456789012", "123456789012", "...........R", 0},
                    KeysCase{"twelve_digits_wrong", "123456789012", "123456789013", "...........W",
                             0},
                    KeysCase{"no_code_takes_nothing", "", "1234", "....", 0}),
    [](const testing::TestParamInfo<KeysCase>& info) { return TestName(info.param.name); });

TEST(ExitCodeQuiet, ThePadGivesWayAfterThirtySecondsWithoutAKeyAndEachKeyStartsThemAgain) {
  ExitCodeEntry entry("2580");
  EXPECT_TRUE(entry.Guards());
  EXPECT_FALSE(ExitCodeEntry().Guards());
  entry.Start(At(100s));
  EXPECT_EQ(entry.Remaining(At(100s)), 30s);
  EXPECT_FALSE(entry.TimedOut(At(129999ms)));
  EXPECT_TRUE(entry.TimedOut(At(130s)));

  entry.Digit('2', At(120s));
  EXPECT_FALSE(entry.TimedOut(At(149s)));
  entry.Erase(At(149s));
  EXPECT_EQ(entry.Remaining(At(150s)), 29s);
  EXPECT_TRUE(entry.TimedOut(At(179s)));
  EXPECT_EQ(entry.Remaining(At(200s)), 0s);

  // Opened again, nothing of the last visitor's typing is left.
  entry.Digit('2', At(200s));
  entry.Digit('5', At(200s));
  entry.Start(At(300s));
  EXPECT_EQ(entry.Typed(), 0u);
  EXPECT_FALSE(entry.TimedOut(At(329s)));
}

}  // namespace
