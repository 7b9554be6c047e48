#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "browser/EmulationMode.h"

namespace u_LibIEInit {
namespace {

// Records what the routine asks of the registry; can be told to refuse.
struct RegistryLog {
  std::vector<std::string> calls;
  int created = 0;
  int released = 0;
  bool refuseOpen = false;
  bool refuseWrite = false;
};

class FakeRegistry : public RegistryAccessor {
 public:
  explicit FakeRegistry(RegistryLog& log) : log_(log) { ++log_.created; }
  ~FakeRegistry() override { ++log_.released; }
  bool OpenKey(const std::string& key) override {
    log_.calls.push_back("open " + key);
    return !log_.refuseOpen;
  }
  void WriteInteger(const std::string& name, std::uint32_t value) override {
    if (log_.refuseWrite) throw std::runtime_error("access denied");
    log_.calls.push_back("write " + name + "=" + std::to_string(value));
  }
  void CloseKey() override { log_.calls.push_back("close"); }

 private:
  RegistryLog& log_;
};

class EmulationModeFixture : public testing::Test {
 protected:
  RegistryLog log;
  EmulationPlatform platform{[this] { return std::make_unique<FakeRegistry>(log); },
                             [] { return std::string("Kiosk.EXE"); }};
  const std::string open = std::string("open ") + REG_KEY;
};

TEST_F(EmulationModeFixture, EveryModeWritesItsValueUnderTheExecutableName) {
  struct Case {
    TIEMode mode;
    std::int32_t value;
  } cases[] = {{TIEMode::iemIE7, 7000},           {TIEMode::iemIE8, 8888},
               {TIEMode::iemIE9, 9999},           {TIEMode::iemIE10, 10001},
               {TIEMode::iemIE11, 11001},         {static_cast<TIEMode>(7), 11001},
               {static_cast<TIEMode>(255), 11001}};
  for (const Case& c : cases) {
    log = {};
    EXPECT_EQ(embeddedWebbrowserMode(true, c.mode, "", platform), c.value);
    const std::vector<std::string> expected{open, "write Kiosk.EXE=" + std::to_string(c.value),
                                            "close"};
    EXPECT_EQ(log.calls, expected);
    EXPECT_EQ(log.released, 1);
  }
}

TEST_F(EmulationModeFixture, UnknownModeTouchesNoRegistry) {
  EXPECT_EQ(embeddedWebbrowserMode(true, TIEMode::iemUnknown, "", platform), 0);
  EXPECT_EQ(log.created, 0);
  EXPECT_EQ(EmulationValue(TIEMode::iemUnknown), 0u);
}

TEST_F(EmulationModeFixture, AGivenNameIsUsedVerbatim) {
  EXPECT_EQ(embeddedWebbrowserMode(true, TIEMode::iemIE11, "C:\\Apps\\other.exe", platform), 11001);
  EXPECT_EQ(log.calls.at(1), "write C:\\Apps\\other.exe=11001");
}

TEST_F(EmulationModeFixture, FailuresEndInZeroWithTheAccessorReleased) {
  log.refuseOpen = true;
  EXPECT_EQ(embeddedWebbrowserMode(true, TIEMode::iemIE11, "", platform), 0);
  EXPECT_EQ(log.calls, std::vector<std::string>{open});
  EXPECT_EQ(log.released, 1);

  log = {};
  log.refuseWrite = true;
  EXPECT_EQ(embeddedWebbrowserMode(true, TIEMode::iemIE11, "", platform), 0);
  EXPECT_EQ(log.released, 1);

  EmulationPlatform noName{platform.CreateRegistry,
                           []() -> std::string { throw std::runtime_error("no path"); }};
  EXPECT_EQ(embeddedWebbrowserMode(true, TIEMode::iemIE11, "", noName), 0);
}

TEST_F(EmulationModeFixture, OnlySettingIsSupported) {
  EXPECT_EQ(embeddedWebbrowserMode(false, TIEMode::iemIE11, "", platform), 0);
  EXPECT_EQ(log.created, 0);
}

}  // namespace
}  // namespace u_LibIEInit
