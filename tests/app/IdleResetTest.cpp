#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>

#include "mainwindow/Unit12.h"
#include "tests/support/win32/LoopbackHttpServer.h"
#include "tests/support/win32/ProgramScript.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_win32;
using fw::win32::WindowOf;

// The build resets after IDLE_RESET_SECONDS.
constexpr auto kTimeout = std::chrono::seconds(IDLE_RESET_SECONDS);

bool SplashShows() { return IsWindowVisible(WindowOf(Form12->PanelZastava)) != FALSE; }

// A click on "Кабинет"; returns the request it sent to the clinic.
HttpRequest OpenClinic(const LoopbackHttpServer& clinic) {
  const std::size_t before = clinic.ReceivedRequests().size();
  ClickAt(CentreOf(WindowOf(Form12->Button1)));
  PumpUntil([&] { return clinic.ReceivedRequests().size() > before; });
  const auto requests = clinic.ReceivedRequests();
  return requests.size() > before ? requests[before] : HttpRequest{};
}

TEST(IdleReset, AfterAQuietSpellTheSplashReturnsAndTheNextVisitCarriesNoCookie) {
  LoopbackHttpServer clinic(CLINIC_PORT);
  clinic.AddToNextResponse({"Set-Cookie: visit=1; Path=/",
                            "Set-Cookie: kept=2; Expires=Fri, 01 Jan 2038 00:00:00 GMT; Path=/"});
  MessageBoxWatcher boxes;  // a failure to clear would be shown in a box
  auto script = [&] {
    HWND startUpFocus = GetFocus();
    ASSERT_EQ(OpenClinic(clinic).line, "GET / HTTP/1.1");
    // The browser keeps both cookies for the visitor, until the reset.
    const HttpRequest again = OpenClinic(clinic);
    EXPECT_NE(again.Header("Cookie").find("visit=1"), std::string::npos) << again.Header("Cookie");
    EXPECT_NE(again.Header("Cookie").find("kept=2"), std::string::npos) << again.Header("Cookie");

    // A key just before the timeout starts the spell again.
    PumpFor(kTimeout / 2);
    PressKey(VK_SHIFT);
    PumpFor(kTimeout * 2 / 3);
    EXPECT_FALSE(SplashShows()) << "reset although a key came in";

    EXPECT_TRUE(PumpUntil(SplashShows, kTimeout * 3));
    EXPECT_FALSE(IsWindowVisible(WindowOf(Form12->AppBar)));
    EXPECT_EQ(program_script::LocationOfTheBrowser(), "about:blank");
    EXPECT_EQ(GetFocus(), startUpFocus);

    const HttpRequest fresh = OpenClinic(clinic);
    EXPECT_EQ(fresh.line, "GET / HTTP/1.1");
    EXPECT_EQ(fresh.Header("Cookie"), "");
    EXPECT_FALSE(SplashShows());
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
  for (const SeenMessageBox& box : boxes.Seen()) ADD_FAILURE() << fw::win32::Narrow(box.text);
}

}  // namespace
