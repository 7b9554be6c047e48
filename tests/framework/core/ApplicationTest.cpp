#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/core/StandardControls.h"
#include "tests/support/ManualApplication.h"

namespace fw {
namespace {

class TWalkForm : public TForm {
 public:
  TPanel* Panel1 = nullptr;
  TButton* Button1 = nullptr;
  TImage* Image1 = nullptr;
  std::string ClassName() const override { return "TWalkForm"; }
  std::string LayoutResourceName() const override { return "TWALKFORM"; }
  void Publish(Publisher& p) override {
    p.Field("Panel1", Panel1);
    p.Field("Button1", Button1);
    p.Field("Image1", Image1);
  }
};

const char kLayout[] = R"({
  "class": "TWalkForm", "name": "WalkForm",
  "properties": {"ClientWidth": 400, "ClientHeight": 300},
  "components": [
    {"class": "TPanel", "name": "Panel1",
     "properties": {"Left": 0, "Top": 0, "Width": 100, "Height": 50},
     "components": [
       {"class": "TButton", "name": "Button1",
        "properties": {"Left": 8, "Top": 8, "Width": 80, "Height": 30}}
     ]},
    {"class": "TImage", "name": "Image1",
     "properties": {"Left": 200, "Top": 0, "Width": 10, "Height": 10}}
  ]
})";

class NullPeer : public ControlPeer {
 public:
  void BoundsChanged() override {}
  void VisibleChanged() override {}
  void AppearanceChanged() override {}
  void BringToFront() override {}
  void SetFocus() override {}
  bool Focused() const override { return false; }
};

// Records the hooks the walk calls; a control named in `refused` gets no peer.
class WalkApplication : public TApplication {
 public:
  std::vector<std::string> calls;
  std::string refused;

  void Initialize() override {}
  void Run() override {}
  void Terminate() override {}

 protected:
  std::string_view LayoutResource(const std::string& name) override {
    calls.push_back("layout " + name);
    return kLayout;
  }
  int CreateFormPeer(TForm& form) override {
    calls.push_back("form " + form.Name());
    form.AttachPeer(std::make_unique<NullPeer>());
    return 2 * DesignPixelsPerInch;
  }
  void CreateControlPeer(TControl& control, TWinControl& parent) override {
    // The layout is scaled for the monitor before any control gets its peer.
    calls.push_back(control.Name() + " in " + parent.Name() + " at " +
                    std::to_string(control.Bounds().Left));
    if (control.Name() != refused) control.AttachPeer(std::make_unique<NullPeer>());
  }
  void ShowErrorMessage(const std::string&) override {}
};

TEST(FormCreation, ScalesForTheMonitorThenGivesEveryControlAPeerParentsFirst) {
  WalkApplication app;
  TWalkForm* form = nullptr;
  app.CreateForm(form);
  ASSERT_EQ(app.MainForm(), form);
  EXPECT_EQ(form->PixelsPerInch, 2 * DesignPixelsPerInch);
  const std::vector<std::string> expected = {"layout TWALKFORM", "form WalkForm",
                                             "Panel1 in WalkForm at 0", "Button1 in Panel1 at 16",
                                             "Image1 in WalkForm at 400"};
  EXPECT_EQ(app.calls, expected);
}

TEST(FormCreation, FailsWhenAControlsParentHasNoPeerAndKeepsNoForm) {
  WalkApplication app;
  app.refused = "Panel1";
  TWalkForm* form = nullptr;
  try {
    app.CreateForm(form);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "The control 'Button1' has no parent to hold it");
  }
  EXPECT_EQ(app.MainForm(), nullptr);
}

// Counts the backend's calls to report every input.
class InputApplication : public ManualApplication {
 public:
  int watches = 0;

 protected:
  void WatchInput() override { ++watches; }
};

TEST(VisitorInput, EachSubscriberHearsPressesAndOtherInputInOrderUntilItsSubscriptionGoes) {
  InputApplication app;
  std::vector<std::string> heard;
  auto first = app.SubscribeVisitorInput([&] { heard.push_back("first"); });
  {
    auto second = app.SubscribeVisitorInput([&] { heard.push_back("second"); });
    EXPECT_EQ(app.watches, 2);
    (void)app.InputArrived(TInputEdge::Press, TInputSource::Button(1));
    (void)app.InputArrived(TInputEdge::Release, TInputSource::Button(1));
    (void)app.InputArrived(TInputEdge::Other);
  }
  (void)app.InputArrived(TInputEdge::Press, TInputSource::Button(1));
  first.Reset();
  (void)app.InputArrived(TInputEdge::Press, TInputSource::Button(1));
  const std::vector<std::string> expected = {"first", "second", "first", "second", "first"};
  EXPECT_EQ(heard, expected);
}

TEST(VisitorInput, AListenerThatThrowsIsShownAndTheOthersStillHear) {
  InputApplication app;
  int heard = 0;
  auto failing = app.SubscribeVisitorInput([] { throw Exception("no retry to drop"); });
  auto counting = app.SubscribeVisitorInput([&] { ++heard; });
  (void)app.InputArrived(TInputEdge::Press, TInputSource::Button(1));
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(app.errors, std::vector<std::string>{"no retry to drop."});
}

TEST(VisitorInput, ASubscriptionEndedByAnotherListenerHearsNothingMore) {
  InputApplication app;
  int laterHeard = 0;
  TApplication::TInputSubscription later;
  auto ending = app.SubscribeVisitorInput([&] { later.Reset(); });
  later = app.SubscribeVisitorInput([&] { ++laterHeard; });
  (void)app.InputArrived(TInputEdge::Press, TInputSource::Button(1));
  EXPECT_EQ(laterHeard, 0);
}

TEST(VisitorInput, ASubscriptionMayOutliveTheApplication) {
  TApplication::TInputSubscription subscription;
  {
    InputApplication app;
    subscription = app.SubscribeVisitorInput([] {});
  }
  subscription.Reset();  // nothing left to leave
  SUCCEED();
}

}  // namespace
}  // namespace fw
