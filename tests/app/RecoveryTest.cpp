#include <winsock2.h>
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
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

// A server that takes connections and never answers: the system completes them, and nobody
// reads.
class SilentServer {
 public:
  explicit SilentServer(int port) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("no sockets");
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    if (listener_ == INVALID_SOCKET ||
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, SOMAXCONN) != 0) {
      throw std::runtime_error("cannot listen at port " + std::to_string(port));
    }
  }
  ~SilentServer() {
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    WSACleanup();
  }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

 private:
  SOCKET listener_ = INVALID_SOCKET;
};

// How many of the addresses lead to the server at `port`, whatever path the control adds.
long Count(const std::vector<std::string>& addresses, int port) {
  const std::string server = "http://127.0.0.1:" + std::to_string(port);
  return std::count_if(addresses.begin(), addresses.end(), [&](const std::string& address) {
    return address == server || address.rfind(server + "/", 0) == 0;
  });
}

// "Кабинет" opens a port where nothing listens: the control reports the refused connection,
// and the same address is opened again after the delay, until a tap cancels the next one.
TEST(Retry, ARefusedPageIsOpenedAgainUntilTheVisitorActs) {
  long retried = 0, afterTap = 0;
  auto script = [&] {
    Form12->UseRetryDelay(kRetry);
    auto* peer = dynamic_cast<fw::win32::WebBrowserPeer*>(Form12->WebBrowser1->Peer());
    NavigationRecorder navigations(peer ? peer->Browser() : nullptr);
    ClickAt(CentreOf(WindowOf(Form12->Button1)));
    PumpUntil([&] { return Count(navigations.Addresses(), CLINIC_PORT) >= 2; }, kRetry + 10s);
    retried = Count(navigations.Addresses(), CLINIC_PORT);
    // The next retry would come after twice the delay; a tap on the page drops it.
    ClickAt(CentreOf(WindowOf(Form12->WebBrowser1)));
    PumpUntil([&] { return Count(navigations.Addresses(), CLINIC_PORT) > retried; },
              2 * kRetry + 3s);
    afterTap = Count(navigations.Addresses(), CLINIC_PORT);
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
  EXPECT_EQ(retried, 2) << "the refused page is opened again after the delay";
  EXPECT_EQ(afterTap, retried) << "a tap cancels the pending retry";
}

// The site's server is down when its button is tapped and starts a moment later: the retry
// reaches it with no input.
TEST(Retry, AServerThatComesBackIsReachedByItself) {
  std::size_t requests = 0;
  long opened = 0;
  auto script = [&] {
    Form12->UseRetryDelay(kRetry);
    auto* peer = dynamic_cast<fw::win32::WebBrowserPeer*>(Form12->WebBrowser1->Peer());
    NavigationRecorder navigations(peer ? peer->Browser() : nullptr);
    ClickAt(CentreOf(WindowOf(Form12->Button2)));
    PumpFor(1s);
    LoopbackHttpServer site(SITE_PORT);
    PumpUntil([&] { return !site.Requests().empty(); }, kRetry + 10s);
    requests = site.Requests().size();
    opened = Count(navigations.Addresses(), SITE_PORT);
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
  EXPECT_GE(requests, 1u) << "the retry reaches the server once it listens";
  EXPECT_EQ(opened, 2) << "the tap's navigation was refused; the retry's reached the server";
}

// The site's server takes the connection and never answers: the load is stopped after the
// build's timeout and counts as failed, so the same address is opened again after the delay.
TEST(LoadTimeout, ALoadThatNeverEndsIsStoppedAndRetried) {
  SilentServer silent(SITE_PORT);
  long opened = 0;
  auto script = [&] {
    Form12->UseRetryDelay(kRetry);
    auto* peer = dynamic_cast<fw::win32::WebBrowserPeer*>(Form12->WebBrowser1->Peer());
    NavigationRecorder navigations(peer ? peer->Browser() : nullptr);
    ClickAt(CentreOf(WindowOf(Form12->Button2)));
    PumpUntil([&] { return Count(navigations.Addresses(), SITE_PORT) >= 2; },
              std::chrono::seconds(LOAD_TIMEOUT_SECONDS) + kRetry + 10s);
    opened = Count(navigations.Addresses(), SITE_PORT);
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
  EXPECT_EQ(opened, 2) << "the endless load is stopped and opened again after the delay";
}

// The overview video's address is off the machine: the recorder cancels it before it starts.
// Nothing is under way, so neither the load timeout nor the retry may open it again.
TEST(LoadTimeout, ANavigationCancelledBeforeItStartsIsNotRetried) {
  long opened = 0;
  auto script = [&] {
    Form12->UseRetryDelay(kRetry);
    auto* peer = dynamic_cast<fw::win32::WebBrowserPeer*>(Form12->WebBrowser1->Peer());
    NavigationRecorder navigations(peer ? peer->Browser() : nullptr);
    ClickAt(CentreOf(WindowOf(Form12->Button4)));
    PumpUntil([&] { return !navigations.Cancelled().empty(); }, 10s);
    // Past the load timeout and the retry's delay: when either acted, it has by now.
    PumpFor(std::chrono::seconds(LOAD_TIMEOUT_SECONDS) + kRetry + 2s);
    opened = static_cast<long>(navigations.Addresses().size());
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
  EXPECT_EQ(opened, 1) << "a cancelled navigation is not opened again";
}

}  // namespace
