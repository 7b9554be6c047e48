#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/Layout.h"
#include "framework/core/WebBrowser.h"
#include "mainwindow/NavigationTargets.h"
#include "mainwindow/Unit12.h"
#include "tests/support/ManualApplication.h"
#include "tests/support/TestNames.h"

namespace {

using namespace std::chrono_literals;

// Remembers which control was given the focus last.
class FocusPeer : public fw::ControlPeer {
 public:
  FocusPeer(fw::TControl& control, fw::TControl*& focused) : control_(control), focused_(focused) {}
  void BoundsChanged() override {}
  void VisibleChanged() override {}
  void AppearanceChanged() override {}
  void BringToFront() override {}
  void SetFocus() override { focused_ = &control_; }
  bool Focused() const override { return focused_ == &control_; }

 private:
  fw::TControl& control_;
  fw::TControl*& focused_;
};

// Records what the form asks of the browser; a step named in `failing` throws.
class BrowserLog : public FocusPeer, public fw::BrowserPeer {
 public:
  using FocusPeer::FocusPeer;
  std::vector<std::string> calls;
  std::string failing;

  void Navigate(const std::string& url) override { Record("navigate " + url); }
  void Stop() override { Record("stop"); }
  void LeavePage() override { Record("leave"); }
  void ClearBrowsingData() override { Record("clear"); }

 private:
  void Record(const std::string& call) {
    calls.push_back(call);
    if (call == failing) throw std::runtime_error("could not " + call);
  }
};

// Gives a control made while the program runs a peer like the others'.
class FormApplication : public ManualApplication {
 public:
  fw::TControl* focused = nullptr;

 protected:
  void CreateControlPeer(fw::TControl& control, fw::TWinControl&) override {
    control.AttachPeer(std::make_unique<FocusPeer>(control, focused));
  }
};

// The main window of a build that resets after 30 seconds, warning for the last 10, on a clock
// the test moves.
class IdleReset : public testing::Test {
 protected:
  FormApplication app;
  TForm12 form;
  fw::TControl*& focused = app.focused;
  BrowserLog* browser = nullptr;

  void SetUp() override {
    std::ifstream in(UNIT12_LAYOUT);
    ASSERT_TRUE(in);
    fw::LoadLayout(form, "TFORM12", std::string(std::istreambuf_iterator<char>(in), {}));
    form.AttachPeer(std::make_unique<FocusPeer>(form, focused));
    for (fw::TComponent* component : form.Components()) {
      auto* control = dynamic_cast<fw::TControl*>(component);
      if (!control || control == form.WebBrowser1) continue;
      control->AttachPeer(std::make_unique<FocusPeer>(*control, focused));
    }
    auto log = std::make_unique<BrowserLog>(*form.WebBrowser1, focused);
    browser = log.get();
    form.WebBrowser1->AttachPeer(std::move(log));
  }

  // The visitor opens the clinic, shows the bar and leaves the focus on another button.
  void Visit() {
    form.Button1->Click();
    form.Action1->Execute();
    form.Button2->SetFocus();
    ASSERT_TRUE(form.AppBar->Visible());
    ASSERT_FALSE(form.PanelZastava->Visible());
  }

  void ExpectStartUpState() {
    EXPECT_TRUE(form.PanelZastava->Visible());
    EXPECT_FALSE(form.AppBar->Visible());
    EXPECT_EQ(focused, form.FirstFocusable());
    EXPECT_EQ(focused, form.WebBrowser1);
  }
};

TEST_F(IdleReset, NothingIsWatchedWhileTheSplashShows) {
  EXPECT_FALSE(app.WatchingIdle());
  app.Wait(100000s);
  EXPECT_TRUE(browser->calls.empty());
  EXPECT_TRUE(form.PanelZastava->Visible());
}

TEST_F(IdleReset, AQuietSpellLeadsBackToTheStartUpStateWithTheBrowserStartedOver) {
  Visit();
  EXPECT_TRUE(app.WatchingIdle());
  app.Wait(29s);
  EXPECT_FALSE(form.PanelZastava->Visible());
  app.Wait(1s);
  ExpectStartUpState();
  // Whatever the page has open or asks first, the reset leaves it.
  const std::vector<std::string> expected{"navigate " + BuildNavigationTargets().Clinic, "leave",
                                          "stop", "navigate about:blank", "clear"};
  EXPECT_EQ(browser->calls, expected);
  EXPECT_TRUE(app.errors.empty());
  // Back at the splash, nothing is watched until the next visitor opens a page.
  EXPECT_FALSE(app.WatchingIdle());
  form.Button5->Click();
  EXPECT_TRUE(app.WatchingIdle());
  app.Wait(30s);
  EXPECT_EQ(browser->calls.back(), "clear");
  EXPECT_EQ(browser->calls.size(), 10u);
}

TEST_F(IdleReset, AWarningCoversTheBrowserCountsDownAndTheInputThatEndsItDoesNothingElse) {
  Visit();
  app.Wait(19999ms);
  EXPECT_EQ(form.PanelIdleWarning, nullptr);  // made only once a warning is due
  app.Wait(1ms);
  ASSERT_NE(form.PanelIdleWarning, nullptr);
  const fw::TPanel& warning = *form.PanelIdleWarning;
  EXPECT_TRUE(warning.Visible());
  EXPECT_EQ(warning.Parent(), &form);
  EXPECT_EQ(warning.Bounds(), form.WebBrowser1->Bounds());
  EXPECT_EQ(warning.Caption(), "Сеанс завершится через 10 с. Коснитесь экрана, чтобы продолжить.");
  app.Wait(3s);
  EXPECT_EQ(warning.Caption(), "Сеанс завершится через 7 с. Коснитесь экрана, чтобы продолжить.");

  EXPECT_TRUE(app.InputArrived(fw::TInputEdge::Press, fw::TInputSource::Button(fw::kLeftButton)));
  EXPECT_TRUE(app.InputArrived(fw::TInputEdge::Release, fw::TInputSource::Button(fw::kLeftButton)));
  EXPECT_FALSE(warning.Visible());
  EXPECT_TRUE(form.AppBar->Visible());  // the page and the bar stay as the visitor left them
  EXPECT_EQ(browser->calls.size(), 1u);

  app.Wait(20s);  // a whole spell again, warning included
  EXPECT_TRUE(warning.Visible());
  app.Wait(10s);
  EXPECT_FALSE(warning.Visible());
  ExpectStartUpState();
  EXPECT_TRUE(app.errors.empty());
}

// Locked down, every navigation of the program's leaves the page whatever it asks; otherwise
// the visitor's tap lets the page ask as the engine has it.
TEST_F(IdleReset, APaneTapLeavesThePageWithoutAskingOnlyWhenLockedDown) {
  for (const bool locked : {false, true}) {
    if (locked) form.UseLockdown(true, {});
    browser->calls.clear();
    form.Button5->Click();
    const std::vector<std::string> unlocked{"navigate " + BuildNavigationTargets().UserGuide};
    const std::vector<std::string> lockedDown{"leave", unlocked[0]};
    EXPECT_EQ(browser->calls, locked ? lockedDown : unlocked) << "locked: " << locked;
  }
}

class FailingStep : public IdleReset, public testing::WithParamInterface<std::string> {};

TEST_P(FailingStep, IsShownOnceWhileEveryOtherStepStillRunsAndTheSplashReturns) {
  browser->failing = GetParam();
  Visit();
  app.Wait(30s);
  ExpectStartUpState();
  EXPECT_EQ(app.errors, std::vector<std::string>{"could not " + GetParam() + "."});
  const std::vector<std::string> everyStep{"navigate " + BuildNavigationTargets().Clinic, "leave",
                                           "stop", "navigate about:blank", "clear"};
  EXPECT_EQ(browser->calls, everyStep);
}

INSTANTIATE_TEST_SUITE_P(Steps, FailingStep,
                         testing::Values("leave", "stop", "navigate about:blank", "clear"),
                         [](const testing::TestParamInfo<std::string>& info) {
                           return TestName(info.param);
                         });

}  // namespace
