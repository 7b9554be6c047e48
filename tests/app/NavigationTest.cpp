#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/ProgramStartup.h"
#include "framework/win32/ControlWindow.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Unicode.h"
#include "framework/win32/WebBrowserPeer.h"
#include "mainwindow/Unit12.h"
#include "tests/support/win32/LoopbackHttpServer.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;
using fw::win32::WindowOf;

// Runs `script` once the program's window shows, then closes the window.
std::function<void()> script;
void CALLBACK RunScriptOnceShown(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND form = Form12 ? WindowOf(Form12) : nullptr;
  if (!form || !IsWindowVisible(form)) return;
  KillTimer(nullptr, timer);
  script();
  PostMessageW(form, WM_CLOSE, 0, 0);
}

std::string LocationOfTheBrowser() {
  auto* peer = dynamic_cast<fw::win32::WebBrowserPeer*>(Form12->WebBrowser1->Peer());
  fw::win32::UniqueBstr location;
  if (!peer || !peer->Browser() || FAILED(peer->Browser()->get_LocationURL(location.put())))
    return {};
  return fw::win32::Narrow(location.str());
}

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
  script = [&] {
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
  SetTimer(nullptr, 0, 100, RunScriptOnceShown);
  EXPECT_EQ(RunProgram(), 0);
  std::vector<std::string> expected;
  for (const Step& step : steps) expected.push_back(step.expected);
  EXPECT_EQ(seen, expected);
}

}  // namespace
