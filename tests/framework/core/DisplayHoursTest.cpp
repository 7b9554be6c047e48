#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/DisplayHours.h"

namespace {

using namespace std::chrono;
using fw::TDisplayHours;
using fw::TWeekMinute;

constexpr TWeekMinute At(int day, int hour, int minute = 0) {
  return day * 24 * 60 + hour * 60 + minute;
}
constexpr int Mo = 0, Tu = 1, We = 2, Fr = 4, Sa = 5, Su = 6;

struct HoursCase {
  const char* text;
  std::vector<TWeekMinute> on;
  std::vector<TWeekMinute> off;
};

TEST(DisplayHours, AcceptedTextsSwitchOnExactlyTheMinutesTheySay) {
  const HoursCase cases[] = {
      {"", {At(Mo, 0), At(Su, 23, 59)}, {}},
      {"   ", {At(We, 12)}, {}},
      {"Mo-Fr 07:30-20:00; Sa 09:00-14:00",
       {At(Mo, 7, 30), At(Fr, 19, 59), At(Sa, 9), At(Sa, 13, 59)},
       {At(Mo, 7, 29), At(Mo, 20), At(Sa, 14), At(Su, 12), At(Sa, 8, 59)}},
      // several spans a day, and days listed one by one
      {"Mo,We 08:00-12:00,13:00-17:00",
       {At(Mo, 8), At(We, 16, 59), At(Mo, 13)},
       {At(Mo, 12), At(Mo, 12, 59), At(Tu, 9), At(We, 17)}},
      // past midnight: into the next day, and from Sunday into Monday
      {"Fr,Su 22:00-02:00",
       {At(Fr, 23), At(Sa, 1, 59), At(Su, 22), At(Mo, 1, 59)},
       {At(Sa, 2), At(Fr, 21, 59), At(Mo, 2), At(Tu, 1)}},
      // a range that wraps over the week's end
      {"Sa-Mo 10:00-11:00", {At(Sa, 10), At(Su, 10), At(Mo, 10, 59)}, {At(Tu, 10), At(Fr, 10)}},
      // whole days
      {"Sa 00:00-24:00", {At(Sa, 0), At(Sa, 23, 59)}, {At(Fr, 23, 59), At(Su, 0)}},
      {"Su 00:00-00:00", {At(Su, 0), At(Su, 23, 59)}, {At(Mo, 0)}},
      {" Tu  08:00 - 09:00 ;We 08:00-09:00 ", {At(Tu, 8), At(We, 8, 30)}, {At(Tu, 9)}},
  };
  for (const HoursCase& c : cases) {
    const TDisplayHours::TParsed parsed = TDisplayHours::Parse(c.text);
    ASSERT_TRUE(parsed.Hours) << c.text << ": " << parsed.Error->Describe();
    for (const TWeekMinute minute : c.on) EXPECT_TRUE(parsed.Hours->IsOn(minute)) << c.text;
    for (const TWeekMinute minute : c.off) EXPECT_FALSE(parsed.Hours->IsOn(minute)) << c.text;
  }
}

TEST(DisplayHours, ARefusedTextSaysWhereAndWhat) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"Mo-Fr", "at character 6: expected a time HH:MM from 00:00 to 24:00 after the days"},
      {"Mon 08:00-09:00", "at character 3: expected a time HH:MM from 00:00 to 24:00 after"},
      {"mo 08:00-09:00", "at character 1: expected a day"},
      {"Mo-", "at character 4: expected the day that ends the range"},
      {"Mo 8:00-09:00", "at character 4: expected a time"},
      {"Mo 08:60-09:00", "at character 4: expected a time"},
      {"Mo 24:01-09:00", "at character 4: expected a time"},
      {"Mo 24:00-02:00", "at character 9: a span cannot start at 24:00"},
      {"Mo 08:00", "at character 9: expected \"-\""},
      {"Mo 08:00-25:00", "at character 10: expected a time"},
      {"Mo 08:00-08:00", "at character 15: a span must not start and end at the same time"},
      {"Mo 08:00-09:00 Tu 08:00-09:00", "at character 16: expected \",\" and another span"},
      {"Mo 08:00-09:00;", "at character 16: expected a day"},
      {"Mo 08:00-09:00,", "at character 16: expected a time"},
  };
  for (const auto& c : cases) {
    const TDisplayHours::TParsed parsed = TDisplayHours::Parse(c.text);
    ASSERT_FALSE(parsed.Hours) << c.text;
    EXPECT_EQ(parsed.Error->Describe().rfind(c.error, 0), 0u)
        << c.text << ": " << parsed.Error->Describe();
  }
}

// Coordinated time as the local time: 1970-01-05 was a Monday.
TWeekMinute Utc(system_clock::time_point at) {
  const auto minutes = floor<std::chrono::minutes>(at).time_since_epoch().count();
  return static_cast<TWeekMinute>(
      ((minutes - 4 * 24 * 60) % fw::kMinutesPerWeek + fw::kMinutesPerWeek) % fw::kMinutesPerWeek);
}

system_clock::time_point Week(TWeekMinute minute, int seconds = 0) {
  return system_clock::time_point{} + days(4 + 7 * 2900) + std::chrono::minutes(minute) +
         std::chrono::seconds(seconds);
}

TEST(DisplayHours, TheNextChangeIsTheFirstMinuteThatSaysOtherwise) {
  const struct {
    const char* text;
    TWeekMinute now;
    int seconds;
    std::optional<TWeekMinute> next;
  } cases[] = {
      {"Mo-Fr 07:30-20:00", At(Mo, 6), 0, At(Mo, 7, 30)},
      {"Mo-Fr 07:30-20:00", At(Mo, 7, 29), 59, At(Mo, 7, 30)},
      {"Mo-Fr 07:30-20:00", At(Mo, 7, 30), 0, At(Mo, 20)},
      {"Mo-Fr 07:30-20:00", At(Fr, 20), 0, At(Mo, 7, 30) + fw::kMinutesPerWeek},
      {"Fr 22:00-02:00", At(Fr, 23), 0, At(Sa, 2)},
      // adjoining spans are one stretch: no change at midnight
      {"Fr 20:00-24:00; Sa 00:00-06:00", At(Fr, 21), 0, At(Sa, 6)},
      {"", At(Mo, 0), 0, std::nullopt},
      {"Mo-Su 00:00-24:00", At(We, 3), 0, std::nullopt},
  };
  for (const auto& c : cases) {
    const TDisplayHours hours = *TDisplayHours::Parse(c.text).Hours;
    const auto next = hours.NextChange(Week(c.now, c.seconds), Utc);
    if (!c.next) {
      EXPECT_FALSE(next) << c.text;
      continue;
    }
    ASSERT_TRUE(next) << c.text;
    EXPECT_EQ(*next, Week(*c.next)) << c.text;
  }
}

// The process's time zone for one test.
class LocalZone {
 public:
  explicit LocalZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~LocalZone() {
    if (old_) {
      setenv("TZ", old_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  LocalZone(const LocalZone&) = delete;
  LocalZone& operator=(const LocalZone&) = delete;

 private:
  std::optional<std::string> old_;
};

system_clock::time_point UtcTime(int year, unsigned month, unsigned day, int hour, int minute) {
  return sys_days(year_month_day(std::chrono::year(year), std::chrono::month(month),
                                 std::chrono::day(day))) +
         hours(hour) + std::chrono::minutes(minute);
}

TEST(DisplayHours, DaylightSavingChangeDaysKeepTheLocalHours) {
  const LocalZone berlin("Europe/Berlin");
  const struct {
    const char* what;
    const char* text;
    system_clock::time_point now;
    system_clock::time_point next;
  } cases[] = {
      // 29 March 2026: 02:00 becomes 03:00, so a day's opening at 07:00 is 05:00 coordinated
      {"spring, the opening", "Su 07:00-20:00", UtcTime(2026, 3, 28, 23, 0),
       UtcTime(2026, 3, 29, 5, 0)},
      // a span that starts in the hour that does not exist begins when the clock jumps
      {"spring, the missing hour", "Su 02:30-05:00", UtcTime(2026, 3, 28, 23, 0),
       UtcTime(2026, 3, 29, 1, 0)},
      // 25 October 2026: 03:00 becomes 02:00 again; the closing at 20:00 is 19:00 coordinated
      {"autumn, the closing", "Su 07:00-20:00", UtcTime(2026, 10, 25, 10, 0),
       UtcTime(2026, 10, 25, 19, 0)},
      // 02:30 comes twice: the display goes off at the first, on again when 02:00 comes back
      {"autumn, the hour twice", "Su 01:00-02:30", UtcTime(2026, 10, 25, 0, 30),
       UtcTime(2026, 10, 25, 1, 0)},
  };
  for (const auto& c : cases) {
    const TDisplayHours hours = *TDisplayHours::Parse(c.text).Hours;
    const auto next = hours.NextChange(c.now, fw::LocalWeekMinute);
    ASSERT_TRUE(next) << c.what;
    EXPECT_EQ(*next, c.next) << c.what;
  }
  EXPECT_EQ(fw::LocalWeekMinute(UtcTime(2026, 3, 29, 1, 0)), At(Su, 3));
  EXPECT_EQ(fw::LocalWeekMinute(UtcTime(2026, 10, 25, 1, 0)), At(Su, 2));
}

}  // namespace
