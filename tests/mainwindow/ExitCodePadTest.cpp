#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/KeyRouting.h"
#include "framework/core/Layout.h"
#include "framework/core/WebBrowser.h"
#include "mainwindow/Unit12.h"
#include "tests/support/ManualApplication.h"

namespace {

using namespace std::chrono_literals;

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

class BrowserPeer : public FocusPeer, public fw::BrowserPeer {
 public:
  using FocusPeer::FocusPeer;
  void Navigate(const std::string&) override {}
  void LeavePage() override {}
  void Stop() override {}
  void ClearBrowsingData() override {}
};

// Counts the requests to end the program; a control made while it runs gets a peer too.
class EndingApplication : public ManualApplication {
 public:
  fw::TControl* focused = nullptr;
  int terminations = 0;
  void Terminate() override { ++terminations; }

 protected:
  void CreateControlPeer(fw::TControl& control, fw::TWinControl&) override {
    control.AttachPeer(std::make_unique<FocusPeer>(control, focused));
  }
};

// The main window of a build that resets after 30 quiet seconds, on a clock the test moves,
// with "2580" as the code.
class ExitCodePad : public testing::Test {
 protected:
  EndingApplication app;
  TForm12 form;

  void SetUp() override {
    std::ifstream in(UNIT12_LAYOUT);
    ASSERT_TRUE(in);
    fw::LoadLayout(form, "TFORM12", std::string(std::istreambuf_iterator<char>(in), {}));
    form.AttachPeer(std::make_unique<FocusPeer>(form, app.focused));
    for (fw::TComponent* component : form.Components()) {
      auto* control = dynamic_cast<fw::TControl*>(component);
      if (!control || control == form.WebBrowser1) continue;
      control->AttachPeer(std::make_unique<FocusPeer>(*control, app.focused));
    }
    form.WebBrowser1->AttachPeer(std::make_unique<BrowserPeer>(*form.WebBrowser1, app.focused));
    form.SetBounds({0, 0, 1280, 800});
    form.UseExitCode("2580");
  }

  bool PadShown() const { return form.PanelExitCode && form.PanelExitCode->Showing(); }
  std::string Display() const {
    return static_cast<fw::TControl*>(form.FindComponent("ExitCodeDisplay"))->Caption();
  }
  void Tap(const std::string& keys) {
    for (char key : keys) {
      auto* button = dynamic_cast<fw::TButton*>(
          form.FindComponent(std::string("ExitCodeKey") + (key == '<'   ? "Erase"
                                                           : key == 'x' ? "Cancel"
                                                                        : std::string(1, key))));
      ASSERT_NE(button, nullptr) << key;
      if (button->Showing()) button->SetFocus();  // as a tap does
      button->Click();
    }
  }
};

TEST_F(ExitCodePad, WithoutACodeTheButtonAndTheIconEndTheProgramAtOnce) {
  form.UseExitCode("");
  form.Button3->Click();
  form.CloseButton->Click();
  EXPECT_TRUE(form.CloseQuery());
  EXPECT_EQ(app.terminations, 2);
  EXPECT_EQ(form.PanelExitCode, nullptr);
}

TEST_F(ExitCodePad, OnlyTheRightCodeEndsTheProgramAndAnythingElseLeavesTheKioskAsItWas) {
  form.Button1->Click();  // a page under the pad, the bar shown, the focus on "Кабинет"
  form.Action1->Execute();
  form.Button1->SetFocus();
  struct Way {
    std::string what;
    std::function<void()> open;
    std::string keys;  // then tapped
  };
  const std::vector<Way> ways{
      {"a wrong code", [&] { form.Button3->Click(); }, "2581"},
      {"a slip erased too far", [&] { form.CloseButton->Click(); }, "258<<2580"},
      {"cancel after some digits", [&] { form.Button3->Click(); }, "25x"},
      {"the window's close, then cancel", [&] { EXPECT_FALSE(form.CloseQuery()); }, "x"},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.what);
    way.open();
    ASSERT_TRUE(PadShown());
    EXPECT_EQ(form.PanelExitCode->Bounds(), (fw::TBounds{0, 0, 1280, 800}));
    EXPECT_EQ(Display(), "Введите код");
    Tap(way.keys);
    EXPECT_FALSE(PadShown());
    EXPECT_EQ(app.terminations, 0);
    EXPECT_TRUE(form.AppBar->Visible());
    EXPECT_FALSE(form.PanelZastava->Visible());
    EXPECT_EQ(app.focused, form.Button1);
    Tap("2580");  // keys of a pad that is gone
    EXPECT_EQ(app.terminations, 0);
  }
  form.Button3->Click();
  Tap("25");
  EXPECT_EQ(Display(), "● ●");
  Tap("8<");
  EXPECT_EQ(Display(), "● ●");
  Tap("80");
  EXPECT_EQ(app.terminations, 1);
  EXPECT_TRUE(app.errors.empty());
}

TEST_F(ExitCodePad, GoesAfterThirtySecondsWithoutAKeyOrWithTheIdleReset) {
  form.Button3->Click();  // from the splash: no idle watch
  app.Wait(29s);
  Tap("2");
  app.Wait(29s);
  EXPECT_TRUE(PadShown());
  EXPECT_EQ(Display(), "●");
  app.Wait(1s);
  EXPECT_FALSE(PadShown());
  EXPECT_FALSE(app.timer);  // nothing left running at the splash

  form.Button3->Click();
  EXPECT_EQ(Display(), "Введите код");  // nothing of the last visitor's typing
  Tap("x");

  form.Button1->Click();  // the page, watched for 30 quiet seconds
  app.Wait(5s);
  form.Button3->Click();
  Tap("25");
  app.Wait(25s);
  EXPECT_FALSE(PadShown());
  EXPECT_TRUE(form.PanelZastava->Visible());
  EXPECT_EQ(app.terminations, 0);
  EXPECT_TRUE(app.errors.empty());
}

TEST_F(ExitCodePad, KeysAndStrokesChangeNothingUnderIt) {
  form.Button1->Click();
  form.Button3->Click();
  for (std::uint16_t key : {fw::vkEscape, std::uint16_t{'2'}, fw::vkReturn, fw::vkF1}) {
    std::uint16_t routed = key;
    form.OnKeyDown(&form, routed, 0);
    EXPECT_EQ(routed, 0) << key;
  }
  form.Action1->Execute();
  EXPECT_FALSE(form.AppBar->Visible());
  EXPECT_TRUE(PadShown());
  EXPECT_EQ(Display(), "Введите код");
  EXPECT_EQ(app.terminations, 0);
}

}  // namespace
