#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "mainwindow/Unit12.h"
#include "tests/support/win32/LoopbackHttpServer.h"
#include "tests/support/win32/NavigationRecorder.h"
#include "tests/support/win32/ProgramScript.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;
using namespace std::chrono_literals;
using fw::win32::WindowOf;

constexpr std::chrono::seconds kRetry{5};

long Count(const std::vector<std::string>& addresses, const std::string& address) {
  return std::count(addresses.begin(), addresses.end(), address);
}

// "Кабинет" opens a port where nothing listens: the control reports the refused connection,
// and the same address is opened again after the delay, until a tap cancels the next one.
TEST(Retry, ARefusedPageIsOpenedAgainUntilTheVisitorActs) {
  const std::string clinic = "http://127.0.0.1:" + std::to_string(CLINIC_PORT) + "/";
  long retried = 0, afterTap = 0;
  auto script = [&] {
    Form12->UseRetryDelay(kRetry);
    auto* peer = dynamic_cast<fw::win32::WebBrowserPeer*>(Form12->WebBrowser1->Peer());
    NavigationRecorder navigations(peer ? peer->Browser() : nullptr);
    ClickAt(CentreOf(WindowOf(Form12->Button1)));
    PumpUntil([&] { return Count(navigations.Addresses(), clinic) >= 2; }, kRetry + 10s);
    retried = Count(navigations.Addresses(), clinic);
    // The next retry would come after twice the delay; a tap on the page drops it.
    ClickAt(CentreOf(WindowOf(Form12->WebBrowser1)));
    PumpUntil([&] { return Count(navigations.Addresses(), clinic) > retried; }, 2 * kRetry + 3s);
    afterTap = Count(navigations.Addresses(), clinic);
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
  EXPECT_EQ(retried, 2) << "the refused page is opened again after the delay";
  EXPECT_EQ(afterTap, retried) << "a tap cancels the pending retry";
}

// The site's server is down when its button is tapped and starts a moment later: the retry
// reaches it with no input.
TEST(Retry, AServerThatComesBackIsReachedByItself) {
  std::size_t requests = 0;
  auto script = [&] {
    Form12->UseRetryDelay(kRetry);
    ClickAt(CentreOf(WindowOf(Form12->Button2)));
    PumpFor(1s);
    LoopbackHttpServer site(SITE_PORT);
    PumpUntil([&] { return !site.Requests().empty(); }, kRetry + 10s);
    requests = site.Requests().size();
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
  EXPECT_GE(requests, 1u) << "the retry reaches the server once it listens";
}

}  // namespace
