#include <algorithm>
#include <utility>

#include "tests/mainwindow/win32/Form12Fixture.h"
#include "tests/support/win32/ReceivedMouseMessages.h"
#include "tests/support/win32/ScriptedRun.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;

TEST_F(Form12Fixture, WindowTreeAfterCreateForm) {
  HWND form = WindowOf(Form12);
  EXPECT_EQ(ClassOf(form), L"TForm12");
  EXPECT_EQ(TextOf(form), L"Form12");
  const LONG style = GetWindowLongW(form, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU)) << "borderless";
  EXPECT_FALSE(style & WS_VISIBLE) << "shown only by Run";
  // The taskbar and the task switcher show the window's class icon, in both sizes.
  EXPECT_NE(GetClassLongPtrW(form, GCLP_HICON), 0);
  EXPECT_NE(GetClassLongPtrW(form, GCLP_HICONSM), 0);
  RECT client;
  GetClientRect(form, &client);
  EXPECT_EQ(client, Bounds(0, 0, Scaled(1340), Scaled(930)));

  // Top of the z-order first: later controls lie above earlier ones.
  const std::vector<HWND> children = ChildrenTopDown(form);
  const std::vector<HWND> expected{WindowOf(Form12->PanelZastava), WindowOf(Form12->SplitView1),
                                   WindowOf(Form12->WebBrowser1), WindowOf(Form12->AppBar)};
  EXPECT_EQ(children, expected);
  const int paneWidth = Scaled(200), width = Scaled(1340), height = Scaled(930);
  struct Row {
    HWND window;
    const wchar_t* className;
    const wchar_t* text;
    RECT bounds;
    bool visible;  // its own visibility; the bar's image is hidden with the bar
  } rows[] = {
      {WindowOf(Form12->PanelZastava), L"TPanel", L"Duvuzezera",
       Bounds(paneWidth, 0, width - paneWidth, height), true},
      {WindowOf(Form12->SplitView1), L"TSplitView", L"", Bounds(0, 0, paneWidth, height), true},
      {WindowOf(Form12->WebBrowser1), L"TWebBrowser", L"",
       Bounds(paneWidth, 0, width - paneWidth, height), true},
      // 75 device pixels at every resolution, flush with the bottom.
      {WindowOf(Form12->AppBar), L"TPanel", L"", Bounds(0, height - 75, width, 75), false},
      {WindowOf(Form12->CloseButton), L"TImage", L"", Bounds(width - Scaled(60), 0, Scaled(60), 75),
       true},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ClassOf(r.window), r.className) << r.text;
    EXPECT_EQ(TextOf(r.window), r.text);
    EXPECT_EQ(BoundsOf(r.window), r.bounds) << ClassOf(r.window);
    EXPECT_EQ((GetWindowLongW(r.window, GWL_STYLE) & WS_VISIBLE) != 0, r.visible)
        << ClassOf(r.window);
  }
  EXPECT_NE(FindDescendant(WindowOf(Form12->WebBrowser1), L"Shell Embedding"), nullptr)
      << "the browser control is hosted in place";

  struct ButtonRow {
    fw::TButton* button;
    const wchar_t* caption;
    int left, top, height, tabOrder;
  } buttons[] = {
      {Form12->Button1, L"Кабинет", 16, 24, 34, 0},
      {Form12->Button2, L"duvuzezera.example", 16, 72, 34, 1},
      {Form12->Button4, L"Общее описание", 16, 119, 34, 3},
      {Form12->Button6, L"Видео на Yotube", 16, 165, 34, 5},
      {Form12->Button5, L"Документация", 16, 213, 34, 4},
      {Form12->Button3, L"Выход", 16, 288, 33, 2},
  };
  for (const ButtonRow& b : buttons) {
    HWND window = WindowOf(b.button);
    EXPECT_EQ(GetParent(window), WindowOf(Form12->SplitView1));
    EXPECT_EQ(ClassOf(window), L"TButton");
    EXPECT_EQ(TextOf(window), b.caption);
    EXPECT_EQ(BoundsOf(window),
              Bounds(Scaled(b.left), Scaled(b.top), Scaled(161), Scaled(b.height)))
        << b.caption;
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(b.button->TabOrder, b.tabOrder);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, Scaled(-19)) << b.caption;
    EXPECT_STREQ(font.lfFaceName, L"Segoe UI");
  }
  LOGFONTW splashFont{};
  GetObjectW(
      reinterpret_cast<HFONT>(SendMessageW(WindowOf(Form12->PanelZastava), WM_GETFONT, 0, 0)),
      sizeof splashFont, &splashFont);
  EXPECT_EQ(splashFont.lfHeight, Scaled(-64));
  EXPECT_EQ(splashFont.lfWeight, FW_BOLD);
  EXPECT_TRUE(splashFont.lfItalic);
  EXPECT_EQ(splashFont.lfCharSet, ANSI_CHARSET);
}

TEST_F(Form12Fixture, RunShowsItMaximizedWithTheFocusOnTheBrowser) {
  HWND form = WindowOf(Form12);
  RECT client{}, pane{}, splash{}, bar{};
  bool zoomed = false, focusInBrowser = false;
  const bool ended = RunWithScript(application, [&] {
    PumpUntil([&] { return IsWindowVisible(form) != FALSE; });
    PumpFor(std::chrono::milliseconds(300));
    zoomed = IsZoomed(form);
    GetClientRect(form, &client);
    pane = BoundsOf(WindowOf(Form12->SplitView1));
    splash = BoundsOf(WindowOf(Form12->PanelZastava));
    bar = BoundsOf(WindowOf(Form12->AppBar));
    HWND focus = GetFocus();
    HWND browser = WindowOf(Form12->WebBrowser1);
    focusInBrowser = focus == browser || IsChild(browser, focus);
    application.Terminate();
  });
  EXPECT_TRUE(ended);
  EXPECT_TRUE(zoomed);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(client, Bounds(0, 0, width, height));
  EXPECT_EQ(pane, Bounds(0, 0, Scaled(200), height));
  EXPECT_EQ(splash, Bounds(Scaled(200), 0, width - Scaled(200), height));
  EXPECT_EQ(bar, Bounds(0, height - 75, width, 75));
  EXPECT_TRUE(focusInBrowser);
}

TEST_F(Form12Fixture, NavigationButtonsHideTheSplashForGoodAndOpenTheirTargets) {
  struct Step {
    fw::TButton* button;
    const char* request;
  } steps[] = {{Form12->Button1, "GET /clinic "},   {Form12->Button2, "GET /site "},
               {Form12->Button4, "GET /overview "}, {Form12->Button5, "GET /guide "},
               {Form12->Button6, "GET /playlist "}, {Form12->Button1, "GET /clinic "}};
  std::vector<std::string> failures;
  bool splashBackAtSomePoint = false;
  const bool ended = RunWithScript(application, [&] {
    PumpUntil([&] { return IsWindowVisible(WindowOf(Form12)) != FALSE; });
    for (const Step& step : steps) {
      const std::size_t before = server.Requests().size();
      ClickAt(CentreOf(WindowOf(step.button)));
      const bool reached = PumpUntil([&] {
        const auto requests = server.Requests();
        for (std::size_t i = before; i < requests.size(); ++i) {
          if (requests[i].rfind(step.request, 0) == 0) return true;
        }
        return false;
      });
      if (!reached) failures.push_back(std::string("no ") + step.request);
      splashBackAtSomePoint =
          splashBackAtSomePoint || IsWindowVisible(WindowOf(Form12->PanelZastava));
    }
    ClickAt(CentreOf(WindowOf(Form12->Button3)));
  });
  EXPECT_TRUE(ended) << "the exit button did not end the loop";
  EXPECT_TRUE(failures.empty()) << ::testing::PrintToString(failures)
                                << " requests: " << ::testing::PrintToString(server.Requests());
  EXPECT_FALSE(splashBackAtSomePoint);
  EXPECT_FALSE(Form12->PanelZastava->Visible());
}

TEST_F(Form12Fixture, EveryTapOfAQuickDoubleTapOpensTheTargetAgain) {
  std::size_t clinicRequests = 0;
  bool doubleClick = false;
  RunWithScript(application, [&] {
    PumpUntil([&] { return IsWindowVisible(WindowOf(Form12)) != FALSE; });
    const POINT button = CentreOf(WindowOf(Form12->Button1));
    ReceivedMouseMessages received;
    ClickAt(button);
    ClickAt(button);  // 100 ms after the first release: a double click to the system
    auto count = [&] {
      const auto requests = server.Requests();
      return static_cast<std::size_t>(
          std::count_if(requests.begin(), requests.end(),
                        [](const std::string& r) { return r.rfind("GET /clinic ", 0) == 0; }));
    };
    PumpUntil([&] { return count() >= 2; });
    PumpFor(std::chrono::milliseconds(300));
    clinicRequests = count();
    doubleClick = received.Received(WM_LBUTTONDBLCLK, WindowOf(Form12->Button1));
    application.Terminate();
  });
  ASSERT_TRUE(doubleClick) << "the system made the second tap a double click";
  EXPECT_EQ(clinicRequests, 2u) << ::testing::PrintToString(server.Requests());
}

TEST_F(Form12Fixture, ExitButtonEndsTheLoopWithTheSplashStillShowing) {
  const bool ended = RunWithScript(application, [&] {
    PumpUntil([&] { return IsWindowVisible(WindowOf(Form12)) != FALSE; });
    ClickAt(CentreOf(WindowOf(Form12->Button3)));
  });
  EXPECT_TRUE(ended);
  EXPECT_TRUE(Form12->PanelZastava->Visible());
  EXPECT_TRUE(server.Requests().empty());
}

// A monitor of 120 pixels per inch, which the machine does not have, answers for the window.
class Form12OnAnotherMonitor : public Form12Fixture {
 protected:
  static inline HWND askedAbout = nullptr;
  static int MonitorAt120(HWND window) {
    askedAbout = window;
    return 120;
  }
  int (*systemQuery)(HWND) = nullptr;
  void BeforeStartupBlock() override {
    askedAbout = nullptr;
    systemQuery = std::exchange(fw::win32::WindowPixelsPerInch, MonitorAt120);
  }
  void TearDown() override {
    fw::win32::WindowPixelsPerInch = systemQuery;
    Form12Fixture::TearDown();
  }
};

TEST_F(Form12OnAnotherMonitor, TheLayoutIsScaledForTheMonitorThatHoldsTheWindow) {
  EXPECT_EQ(askedAbout, WindowOf(Form12)) << "the resolution of the window's own monitor";
  EXPECT_EQ(Form12->PixelsPerInch, 120);
  EXPECT_EQ(BoundsOf(WindowOf(Form12->SplitView1)), Bounds(0, 0, 250, 1163));
  EXPECT_EQ(BoundsOf(WindowOf(Form12->Button1)), Bounds(20, 30, 201, 43));
  EXPECT_EQ(Form12->Button1->EffectiveFont().Height, -24);
}

}  // namespace
