#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "framework/core/Metrics.h"
#include "tests/support/ManualApplication.h"

namespace {

using namespace std::chrono_literals;
using fw::TFailureKind;
using fw::TLoadOutcome;
using fw::TMetrics;
using fw::TScreenState;

const TMetrics::Clock::time_point kStart{1'700'000'000s};

// The sample's value as the file holds it; "" when the line is missing.
std::string Sample(const TMetrics& metrics, const std::string& series) {
  const std::string text = metrics.Exposition();
  std::string line = "\n";
  line.append(TMetrics::Prefix).append(series).append(" ");
  const std::size_t at = text.find(line);
  if (at == std::string::npos) return "";
  const std::size_t value = at + line.size();
  return text.substr(value, text.find('\n', value) - value);
}

TEST(MetricsExposition, EscapesLabelValuesAndHelpAndKeepsTheGivenOrder) {
  const std::string text = fw::FormatExposition(
      {{"b_total",
        "Back\\slash\nand line.",
        fw::TMetricType::Counter,
        {{{{"z", "say \"hi\"\\\n"}, {"a", "1"}}, 3}, {{}, 0.25}}},
       {"a", "A gauge.", fw::TMetricType::Gauge, {{{}, 1'700'000'000.5}, {{}, 12'345'678'901}}}});
  EXPECT_EQ(text,
            "# HELP b_total Back\\\\slash\\nand line.\n"
            "# TYPE b_total counter\n"
            "b_total{z=\"say \\\"hi\\\"\\\\\\n\",a=\"1\"} 3\n"
            "b_total 0.25\n"
            "# HELP a A gauge.\n"
            "# TYPE a gauge\n"
            "a 1700000000.5\n"
            "a 12345678901\n");
}

TEST(Metrics, ExactlyOneScreenStateIsSetAndTheIdleWarningCoversTheOthers) {
  TMetrics metrics;
  const struct {
    TScreenState set;
    bool warning;
    const char* shown;
  } cases[] = {
      {TScreenState::Splash, false, "splash"},
      {TScreenState::Page, false, "page"},
      {TScreenState::Page, true, "idle_warning"},
      {TScreenState::ErrorPage, true, "idle_warning"},
      {TScreenState::ErrorPage, false, "error_page"},
      {TScreenState::GivenUp, false, "given_up"},
      {TScreenState::Splash, false, "display_off"},
      {TScreenState::Page, true, "display_off"},
  };
  for (const auto& c : cases) {
    metrics.Screen(c.set);
    metrics.IdleWarning(c.warning);
    metrics.DisplayOff(std::string(c.shown) == "display_off");
    for (const char* state :
         {"splash", "page", "error_page", "idle_warning", "given_up", "display_off"}) {
      std::string series = "screen{state=\"";
      series.append(state).append("\"}");
      EXPECT_EQ(Sample(metrics, series), state == std::string(c.shown) ? "1" : "0")
          << c.shown << " / " << state;
    }
  }
}

TEST(Metrics, AVisitStartsWithTheFirstTapAfterTheSplashAndLoadsCountForItsButton) {
  TMetrics metrics;
  metrics.DeclareButtons({"clinic", "site", "exit"});
  EXPECT_EQ(Sample(metrics, "button_taps_total{button=\"site\"}"), "0");
  EXPECT_EQ(Sample(metrics, "page_loads_total{button=\"clinic\",outcome=\"loaded\"}"), "0");

  metrics.LoadEnded(TLoadOutcome::Loaded, kStart);  // the blank page under the splash
  metrics.Tapped("clinic", true);
  metrics.Screen(TScreenState::Page);
  metrics.LoadEnded(TLoadOutcome::Loaded, kStart + 2s);
  metrics.Tapped("site", true);
  metrics.LoadEnded(TLoadOutcome::Failed, kStart + 3s);
  metrics.Tapped("exit", false);  // a pad with a code: no page, same visit
  metrics.LoadEnded(TLoadOutcome::Loaded, kStart + 4s);
  metrics.Screen(TScreenState::Splash);
  metrics.LoadEnded(TLoadOutcome::Loaded, kStart + 5s);  // the reset's blank page
  metrics.Tapped("site", true);

  EXPECT_EQ(Sample(metrics, "visits_total"), "2");
  EXPECT_EQ(Sample(metrics, "button_taps_total{button=\"site\"}"), "2");
  EXPECT_EQ(Sample(metrics, "button_taps_total{button=\"exit\"}"), "1");
  EXPECT_EQ(Sample(metrics, "page_loads_total{button=\"clinic\",outcome=\"loaded\"}"), "1");
  EXPECT_EQ(Sample(metrics, "page_loads_total{button=\"site\",outcome=\"failed\"}"), "1");
  EXPECT_EQ(Sample(metrics, "page_loads_total{button=\"site\",outcome=\"loaded\"}"), "1");
  EXPECT_EQ(Sample(metrics, "last_page_loaded_time_seconds"), "1700000004");
}

TEST(Metrics, OnlyAChangeOfWhatTheFileHoldsCountsAsOne) {
  TMetrics metrics;
  metrics.Screen(TScreenState::Page);
  auto changes = metrics.Changes();
  metrics.Heartbeat(kStart + 1s);
  metrics.SetMemory({{"memory_pss_bytes", "PSS.", 1024}});
  metrics.Screen(TScreenState::Page);
  metrics.IdleWarning(false);
  metrics.SettingsProblems(0);
  EXPECT_EQ(metrics.Changes(), changes);
  EXPECT_EQ(Sample(metrics, "heartbeat_time_seconds"), "1700000001");
  EXPECT_EQ(Sample(metrics, "memory_pss_bytes"), "1024");

  for (auto change :
       {+[](TMetrics& m) { m.Screen(TScreenState::ErrorPage); },
        +[](TMetrics& m) { m.IdleWarning(true); },
        +[](TMetrics& m) { m.LoadFailed(TFailureKind::Timeout); },
        +[](TMetrics& m) { m.Retried(); }, +[](TMetrics& m) { m.HangEnded(); },
        +[](TMetrics& m) { m.WebProcessCrashed(); }, +[](TMetrics& m) { m.GaveUp(); },
        +[](TMetrics& m) { m.IdleReset(); }, +[](TMetrics& m) { m.SettingsProblems(2); },
        +[](TMetrics& m) { m.Tapped("clinic", true); }}) {
    change(metrics);
    EXPECT_GT(metrics.Changes(), changes);
    changes = metrics.Changes();
  }
  EXPECT_EQ(Sample(metrics, "load_failures_total{kind=\"timeout\"}"), "1");
  EXPECT_EQ(Sample(metrics, "load_failures_total{kind=\"refused\"}"), "0");
  EXPECT_EQ(Sample(metrics, "settings_problems"), "2");
}

TEST(Metrics, FailuresOfTheWindowsControlAreSortedByKind) {
  const struct {
    std::uint32_t status;
    TFailureKind kind;
  } cases[] = {
      {404, TFailureKind::HttpError},      {503, TFailureKind::HttpError},
      {0x800C0004, TFailureKind::Refused}, {0x800C0005, TFailureKind::UnknownHost},
      {0x800C000B, TFailureKind::Timeout}, {0x800C0008, TFailureKind::Other},
      {399, TFailureKind::Other},
  };
  for (const auto& c : cases)
    EXPECT_EQ(fw::FailureOfNavigateError(static_cast<std::int32_t>(c.status)), c.kind) << c.status;
  EXPECT_FALSE(fw::FailureOfHttpStatus(200));
  EXPECT_FALSE(fw::FailureOfHttpStatus(304));
}

TEST(Metrics, TheApplicationKeepsTheScreenAndTheIdleWarning) {
  ManualApplication application;
  application.ScreenShows(fw::TScreenShows::ErrorPage, "http://a.test/");
  EXPECT_EQ(application.Metrics().Screen(), TScreenState::ErrorPage);
  fw::TApplication::TIdleWatch watch;
  watch.Timeout = 60s;
  watch.Warning = 10s;
  application.WatchIdle(std::move(watch));
  application.Wait(51s);
  EXPECT_EQ(application.Metrics().Screen(), TScreenState::IdleWarning);
  EXPECT_TRUE(application.InputArrived(fw::TInputEdge::Press, fw::TInputSource::Button(1)))
      << "the warning's own tap";
  EXPECT_EQ(application.Metrics().Screen(), TScreenState::ErrorPage);
}

// The whole file, every family filled in, as Prometheus's own checker reads it.
TEST(Metrics, PromtoolAcceptsTheFile) {
#ifndef PROMTOOL
  GTEST_SKIP() << "promtool is not installed";
#else
  TMetrics metrics;
  metrics.SetInfo({"1.2.3.4", "linux", "WebKitGTK 2.44.0"}, kStart);
  metrics.DeclareButtons({"clinic", "site"});
  metrics.Tapped("clinic", true);
  metrics.LoadEnded(TLoadOutcome::Loaded, kStart + 1s);
  metrics.LoadFailed(TFailureKind::Refused);
  metrics.SetMemory({{"memory_pss_bytes", "PSS of the tree.", 123456789}});
  const std::string path = ::testing::TempDir() + "metrics-check.prom";
  std::ofstream(path) << metrics.Exposition();
  const std::string command = std::string(PROMTOOL) + " check metrics < " + path + " 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << metrics.Exposition();
  std::remove(path.c_str());
#endif
}

}  // namespace
