#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/ServiceStatus.h"
#include "tests/support/ManualApplication.h"

namespace {

using namespace std::chrono_literals;
using fw::TScreenShows;

TEST(ServiceStatus, NamesWhatTheScreenShowsAndThePagesAddress) {
  const struct {
    TScreenShows shows;
    const char* address;
    const char* text;
  } cases[] = {
      {TScreenShows::Splash, "", "Splash: waiting for a tap"},
      {TScreenShows::Page, "http://clinic.test/", "Page: http://clinic.test/"},
      {TScreenShows::ErrorPage, "http://clinic.test/",
       "Error page: http://clinic.test/ could not be loaded"},
      {TScreenShows::GivenUp, "",
       "Given up: the page's web process kept dying; splash until the next tap"},
  };
  for (const auto& c : cases) EXPECT_EQ(fw::ServiceStatusText(c.shows, c.address), c.text);
}

TEST(ServiceStatus, TheHeartbeatComesAtHalfTheWatchdogIntervalAndNeverAtZero) {
  const std::pair<std::chrono::microseconds, std::chrono::milliseconds> cases[] = {
      {30s, 15s}, {2s, 1s}, {3ms, 1ms}, {1us, 1ms}, {0us, 1ms}};
  for (const auto& [watchdog, period] : cases)
    EXPECT_EQ(fw::HeartbeatPeriod(watchdog), period) << watchdog.count() << " µs";
}

class StatusRecorder : public ManualApplication {
 public:
  std::vector<std::string> reported;

 protected:
  void ReportStatus(const std::string& text) override { reported.push_back(text); }
};

TEST(ServiceStatus, OnlyAChangeOfTheLineIsPassedOn) {
  StatusRecorder application;
  application.ScreenShows(TScreenShows::Splash);
  application.ScreenShows(TScreenShows::Splash);
  application.ScreenShows(TScreenShows::Page, "http://a.test/");
  application.ScreenShows(TScreenShows::Page, "http://a.test/");  // a reload
  application.ScreenShows(TScreenShows::Page, "http://b.test/");
  application.ScreenShows(TScreenShows::ErrorPage, "http://b.test/");
  application.ScreenShows(TScreenShows::Splash);
  EXPECT_EQ(application.reported,
            (std::vector<std::string>{
                "Splash: waiting for a tap", "Page: http://a.test/", "Page: http://b.test/",
                "Error page: http://b.test/ could not be loaded", "Splash: waiting for a tap"}));
  EXPECT_EQ(application.Status(), "Splash: waiting for a tap");
}

}  // namespace
