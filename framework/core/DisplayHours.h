#pragma once

#include <bitset>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace fw {

// A moment of the local week: 0 is Monday 00:00, one step a minute.
using TWeekMinute = int;
constexpr TWeekMinute kMinutesPerWeek = 7 * 24 * 60;

// Where a wall-clock moment falls in the local week, by the system's time zone (daylight
// saving included).
TWeekMinute LocalWeekMinute(std::chrono::system_clock::time_point at);
using TLocalWeekMinute = std::function<TWeekMinute(std::chrono::system_clock::time_point)>;

// The hours the display is on, as an operator writes them:
//   "Mo-Fr 07:30-20:00; Sa 09:00-12:00,13:00-14:00; Su 22:00-02:00"
// Rules are separated by ";", each a list of days or day ranges (Mo Tu We Th Fr Sa Su, a
// range may wrap: Sa-Mo) then a list of spans; a span whose end is not after its start runs
// past midnight into the next day, and 24:00 is the end of a day. Empty text: always on.
class TDisplayHours {
 public:
  struct TParseError {
    std::size_t Position;  // counted in bytes from 0
    std::string What;
    std::string Describe() const;
  };
  struct TParsed;
  static TParsed Parse(std::string_view text);

  // Always on.
  TDisplayHours() { on_.set(); }
  bool Always() const { return on_.all(); }
  bool IsOn(TWeekMinute minute) const;
  // The first whole minute after `now` where the hours say otherwise than at `now`, found in
  // local time; none when that does not happen within a week and a day.
  std::optional<std::chrono::system_clock::time_point> NextChange(
      std::chrono::system_clock::time_point now, const TLocalWeekMinute& local) const;

 private:
  std::bitset<kMinutesPerWeek> on_;
};

struct TDisplayHours::TParsed {
  std::optional<TDisplayHours> Hours;
  std::optional<TParseError> Error;
};

}  // namespace fw
