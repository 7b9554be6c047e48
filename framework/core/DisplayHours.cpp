#include "framework/core/DisplayHours.h"

#include <array>
#include <ctime>

namespace fw {

namespace {

constexpr std::array<std::string_view, 7> kDays{"Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"};
constexpr int kMinutesPerDay = 24 * 60;

class TReader {
 public:
  explicit TReader(std::string_view text) : text_(text) {}

  void SkipSpaces() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
  }
  bool AtEnd() const { return at_ >= text_.size(); }
  std::size_t At() const { return at_; }
  bool Take(char c) {
    SkipSpaces();
    if (AtEnd() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool Peek(char c) {
    SkipSpaces();
    return !AtEnd() && text_[at_] == c;
  }
  std::optional<int> Day() {
    SkipSpaces();
    for (std::size_t day = 0; day < kDays.size(); ++day) {
      if (text_.substr(at_, 2) == kDays[day]) {
        at_ += 2;
        return static_cast<int>(day);
      }
    }
    return std::nullopt;
  }
  // HH:MM from 00:00 to 24:00, in minutes.
  std::optional<int> Time() {
    SkipSpaces();
    const auto digit = [&](std::size_t i) -> std::optional<int> {
      if (at_ + i >= text_.size() || text_[at_ + i] < '0' || text_[at_ + i] > '9')
        return std::nullopt;
      return text_[at_ + i] - '0';
    };
    const auto h1 = digit(0), h2 = digit(1), m1 = digit(3), m2 = digit(4);
    if (!h1 || !h2 || at_ + 2 >= text_.size() || text_[at_ + 2] != ':' || !m1 || !m2)
      return std::nullopt;
    const int hours = *h1 * 10 + *h2, minutes = *m1 * 10 + *m2;
    if (minutes > 59 || hours > 24 || (hours == 24 && minutes != 0)) return std::nullopt;
    at_ += 5;
    return hours * 60 + minutes;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

std::string TDisplayHours::TParseError::Describe() const {
  return "at character " + std::to_string(Position + 1) + ": " + What;
}

TDisplayHours::TParsed TDisplayHours::Parse(std::string_view text) {
  TReader reader(text);
  const auto fail = [&](std::string what) {
    return TParsed{std::nullopt, TParseError{reader.At(), std::move(what)}};
  };
  reader.SkipSpaces();
  TDisplayHours hours;
  if (reader.AtEnd()) return {hours, std::nullopt};
  hours.on_.reset();
  do {
    std::bitset<7> days;
    do {
      const std::optional<int> first = reader.Day();
      if (!first) return fail("expected a day: Mo, Tu, We, Th, Fr, Sa or Su");
      int last = *first;
      if (reader.Take('-')) {
        const std::optional<int> end = reader.Day();
        if (!end) return fail("expected the day that ends the range");
        last = *end;
      }
      for (int day = *first;; day = (day + 1) % 7) {
        days.set(static_cast<std::size_t>(day));
        if (day == last) break;
      }
    } while (reader.Take(','));
    bool anySpan = false;
    do {
      const std::optional<int> start = reader.Time();
      if (!start) {
        return fail(anySpan ? "expected a time HH:MM from 00:00 to 24:00"
                            : "expected a time HH:MM from 00:00 to 24:00 after the days");
      }
      if (*start == kMinutesPerDay) return fail("a span cannot start at 24:00");
      if (!reader.Take('-')) return fail("expected \"-\" and the time the span ends");
      const std::optional<int> end = reader.Time();
      if (!end) return fail("expected a time HH:MM from 00:00 to 24:00");
      if (*start == *end % kMinutesPerDay && *end != kMinutesPerDay && *start != 0)
        return fail("a span must not start and end at the same time");
      anySpan = true;
      const int length =
          *end > *start ? *end - *start : kMinutesPerDay - *start + *end;  // past midnight
      for (std::size_t day = 0; day < 7; ++day) {
        if (!days.test(day)) continue;
        const int from = static_cast<int>(day) * kMinutesPerDay + *start;
        for (int minute = from; minute < from + length; ++minute)
          hours.on_.set(static_cast<std::size_t>(minute % kMinutesPerWeek));
      }
    } while (reader.Take(','));
    reader.SkipSpaces();
    if (!reader.AtEnd() && !reader.Peek(';'))
      return fail("expected \",\" and another span, or \";\" and another rule");
  } while (reader.Take(';'));
  return {hours, std::nullopt};
}

bool TDisplayHours::IsOn(TWeekMinute minute) const {
  return on_.test(
      static_cast<std::size_t>(((minute % kMinutesPerWeek) + kMinutesPerWeek) % kMinutesPerWeek));
}

std::optional<std::chrono::system_clock::time_point> TDisplayHours::NextChange(
    std::chrono::system_clock::time_point now, const TLocalWeekMinute& local) const {
  if (Always() || on_.none()) return std::nullopt;
  // Minute by minute in real time, each read in local time: a day that loses or gains an
  // hour needs no rule of its own.
  const bool onNow = IsOn(local(now));
  auto at = std::chrono::floor<std::chrono::minutes>(now);
  for (int step = 0; step < kMinutesPerWeek + kMinutesPerDay; ++step) {
    at += std::chrono::minutes(1);
    if (IsOn(local(at)) != onNow) return at;
  }
  return std::nullopt;
}

TWeekMinute LocalWeekMinute(std::chrono::system_clock::time_point at) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(at);
  // localtime's buffer is shared, but only the program's one thread reads the time.
  const std::tm* local = std::localtime(&seconds);
  if (!local) return 0;
  const int weekday = (local->tm_wday + 6) % 7;  // tm counts from Sunday
  return weekday * kMinutesPerDay + local->tm_hour * 60 + local->tm_min;
}

}  // namespace fw
