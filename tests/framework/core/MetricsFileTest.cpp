#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/EventLog.h"
#include "framework/core/MetricsFile.h"

namespace {

using namespace std::chrono_literals;
using Clock = fw::TMetricsFile::Clock;

class LogRecorder : public fw::TLogSink {
 public:
  LogRecorder() { fw::SetLogSink(this); }
  ~LogRecorder() override { fw::SetLogSink(nullptr); }
  void Write(const fw::TEventText& event, std::string_view detail) override {
    lines.push_back(fw::EventLine(event.Event, detail));
  }
  std::vector<std::string> lines;
};

// A folder that can be made unwritable; the writes it took, by the time they were made.
class MetricsFileTest : public ::testing::Test {
 protected:
  fw::TMetricsFile file{"/m/kiosk.prom",
                        metrics,
                        {[this](const std::string& path, const std::string& content) {
                           if (!writable) throw std::runtime_error("Permission denied");
                           EXPECT_EQ(path, "/m/kiosk.prom");
                           written.push_back(now - start);
                           last = content;
                         },
                         [] {
                           return std::vector<fw::TMemoryFigure>{{"memory_pss_bytes", "", 4096}};
                         }}};

  void Run(std::chrono::seconds span) {
    for (const auto end = now + span; now < end;) {
      now += 1s;
      file.Tick(now);
    }
  }

  fw::TMetrics metrics;
  const Clock::time_point start{1'700'000'000s};
  Clock::time_point now = start;
  bool writable = true;
  std::vector<Clock::duration> written;
  std::string last;
  LogRecorder log;
};

TEST_F(MetricsFileTest, WritesAtStartOnAChangeAtTheNextTickAndEveryPeriod) {
  EXPECT_EQ(file.Start(now), std::nullopt);
  Run(5s);
  metrics.Retried();
  metrics.HangEnded();  // the same tick: one write
  Run(1s);
  metrics.Heartbeat(now);  // no change
  Run(20s);
  EXPECT_EQ(written, (std::vector<Clock::duration>{0s, 6s, 21s}));
  EXPECT_NE(last.find("duvuzezera_kiosk_heartbeat_time_seconds 1700000021\n"), std::string::npos)
      << "the tick is the loop's heartbeat";
  EXPECT_NE(last.find("duvuzezera_kiosk_memory_pss_bytes 4096\n"), std::string::npos);
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(MetricsFileTest, AFailureAtStartIsTheBoxsAndLaterOnesAreLoggedOncePerSpell) {
  writable = false;
  EXPECT_EQ(file.Start(now), "/m/kiosk.prom cannot be written (Permission denied)");
  metrics.Retried();
  Run(40s);
  EXPECT_TRUE(log.lines.empty()) << "still the failure the box reported";
  writable = true;
  metrics.Retried();
  Run(1s);
  writable = false;
  metrics.Retried();
  Run(40s);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"The metrics file cannot be written: "
                                                 "/m/kiosk.prom: Permission denied"}));
  EXPECT_EQ(written.size(), 1u);
}

TEST_F(MetricsFileTest, AClockSetBackWritesAtOnce) {
  ASSERT_EQ(file.Start(now), std::nullopt);
  now -= 1h;
  file.Tick(now);
  EXPECT_EQ(written.size(), 2u);
}

}  // namespace
