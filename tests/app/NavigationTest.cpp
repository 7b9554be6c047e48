#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "mainwindow/Unit12.h"
#include "tests/support/win32/ProgramScript.h"
#include "tests/support/win32/LoopbackHttpServer.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;
using fw::win32::WindowOf;
using program_script::LocationOfTheBrowser;

// The addresses come from the build, as the program's own do; only their values are ours.
TEST(BuiltTargets, EachButtonOpensTheAddressTheBuildComposed) {
  LoopbackHttpServer clinic(CLINIC_PORT), site(SITE_PORT);
  struct Step {
    fw::TButton* TForm12::*button;
    LoopbackHttpServer* server;  // none: the address is read back from the browser control
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
  std::vector<std::string> seen;
  auto script = [&] {
    for (const Step& step : steps) {
      const std::size_t before = step.server ? step.server->Requests().size() : 0;
      ClickAt(CentreOf(WindowOf(Form12->*step.button)));
      std::string what;
      PumpUntil([&] {
        if (step.server) {
          const auto requests = step.server->Requests();
          what = requests.size() > before ? requests[before] : "";
        } else {
          what = LocationOfTheBrowser();
        }
        return what == step.expected;
      });
      seen.push_back(what);
    }
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
  std::vector<std::string> expected;
  for (const Step& step : steps) expected.push_back(step.expected);
  EXPECT_EQ(seen, expected);
}

}  // namespace
