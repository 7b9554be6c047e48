#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "mainwindow/Unit12.h"
#include "tests/support/win32/LoopbackHttpServer.h"
#include "tests/support/win32/NavigationRecorder.h"
#include "tests/support/win32/ProgramScript.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;
using fw::win32::WindowOf;

// The addresses come from the build, as the program's own do; only their values are ours. The
// video host is not on loopback: those navigations are recorded as the browser control is
// about to start them and cancelled there, so nothing leaves the machine.
TEST(BuiltTargets, EachButtonOpensTheAddressTheBuildComposed) {
  LoopbackHttpServer clinic(CLINIC_PORT), site(SITE_PORT);
  struct Step {
    fw::TButton* TForm12::*button;
    LoopbackHttpServer* server;  // none: the navigation is recorded and cancelled
    std::string expected;        // the request line, or the address
  };
  const std::vector<Step> steps{
      {&TForm12::Button1, &clinic, "GET / HTTP/1.1"},
      {&TForm12::Button2, &site, "GET / HTTP/1.1"},
      {&TForm12::Button5, &site,
       "GET /wp-content/uploads/2016/07/Rezazaveru_UserGuide.pdf HTTP/1.1"},
      {&TForm12::Button4, nullptr, "https://www.youtube.com/embed/Overview_Video-1?autoplay=1"},
      {&TForm12::Button6, nullptr, "https://www.youtube.com/playlist?list=Product_List-2"},
  };
  std::vector<std::string> seen, cancelled;
  auto script = [&] {
    auto* peer = dynamic_cast<fw::win32::WebBrowserPeer*>(Form12->WebBrowser1->Peer());
    NavigationRecorder navigations(peer ? peer->Browser() : nullptr);
    for (const Step& step : steps) {
      const std::size_t before =
          step.server ? step.server->Requests().size() : navigations.Cancelled().size();
      ClickAt(CentreOf(WindowOf(Form12->*step.button)));
      std::string what;
      PumpUntil([&] {
        const auto& recorded = step.server ? step.server->Requests() : navigations.Cancelled();
        what = recorded.size() > before ? recorded[before] : "";
        return !what.empty();
      });
      seen.push_back(what);
    }
    cancelled = navigations.Cancelled();
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
  std::vector<std::string> expected, offTheMachine;
  for (const Step& step : steps) {
    expected.push_back(step.expected);
    if (!step.server) offTheMachine.push_back(step.expected);
  }
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(cancelled, offTheMachine) << "only the video addresses leave loopback";
}

}  // namespace
