#include <gtest/gtest.h>

#include <string>

#include "framework/core/Actions.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Form.h"
#include "framework/core/GestureManager.h"
#include "framework/core/Layout.h"
#include "framework/core/StandardControls.h"
#include "tests/support/TestNames.h"

namespace fw {
namespace {

class TTestForm : public TForm {
 public:
  TPanel* Panel1 = nullptr;
  TButton* Button1 = nullptr;
  TAction* Action1 = nullptr;
  int clicks = 0;
  int keys = 0;

  std::string ClassName() const override { return "TTestForm"; }
  std::string LayoutResourceName() const override { return "TTESTFORM"; }
  void Publish(Publisher& p) override {
    p.Field("Panel1", Panel1);
    p.Field("Button1", Button1);
    p.Field("Action1", Action1);
    p.Handler("Button1Click", this, &TTestForm::Button1Click);
    p.Handler("FormKeyDown", this, &TTestForm::FormKeyDown);
  }
  void Button1Click(TObject*) { ++clicks; }
  void FormKeyDown(TObject*, std::uint16_t&, TShiftState) { ++keys; }
};

// A valid layout; each error case below breaks one thing in it.
const std::string kValid = R"({
  "class": "TTestForm", "name": "Form1",
  "properties": {"ClientWidth": 400, "ClientHeight": 300, "KeyPreview": true,
                 "Font": {"Name": "Segoe UI", "Height": -19}, "GestureManager": "Gestures"},
  "events": {"OnKeyDown": "FormKeyDown"},
  "components": [
    {"class": "TPanel", "name": "Panel1",
     "properties": {"Left": 0, "Top": 0, "Width": 100, "Height": 10, "Align": "alLeft", "TabOrder": 1},
     "components": [
       {"class": "TButton", "name": "Button1",
        "properties": {"Left": 8, "Top": 8, "Width": 80, "Height": 30, "Caption": "Кабинет"},
        "events": {"OnClick": "Button1Click"}}
     ]},
    {"class": "TActionList", "name": "Actions",
     "components": [{"class": "TAction", "name": "Action1", "properties": {"Caption": "Go"}}]},
    {"class": "TGestureManager", "name": "Gestures",
     "properties": {"Gestures": [{"Control": "Panel1", "Gesture": "sgiUp", "Action": "Action1"}]}}
  ]
})";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(Layout, BuildsTheTreeAssignsMembersAndBindsHandlersByName) {
  TTestForm form;
  LoadLayout(form, "TTESTFORM", kValid);
  EXPECT_EQ(form.Name(), "Form1");
  EXPECT_TRUE(form.KeyPreview);
  ASSERT_NE(form.Panel1, nullptr);
  ASSERT_NE(form.Button1, nullptr);
  EXPECT_EQ(form.Button1->Parent(), form.Panel1);
  EXPECT_EQ(form.Button1->Caption(), "Кабинет");
  EXPECT_EQ(form.Button1->EffectiveFont().Height, -19);
  EXPECT_EQ(form.Panel1->Bounds(), (TBounds{0, 0, 100, 300}));  // aligned after loading
  ASSERT_NE(form.GestureManager, nullptr);
  EXPECT_EQ(form.GestureManager->FindAction(form.Panel1, TStandardGesture::sgiUp), form.Action1);

  form.Button1->Click();
  std::uint16_t key = 27;
  form.OnKeyDown(&form, key, 0);
  EXPECT_EQ(form.clicks, 1);
  EXPECT_EQ(form.keys, 1);
}

struct BrokenLayout {
  const char* what;
  std::string layout;
  const char* message;  // the error must contain this, naming what and where
  friend void PrintTo(const BrokenLayout& c, std::ostream* out) { *out << c.what; }
};

class LayoutErrors : public testing::TestWithParam<BrokenLayout> {};

TEST_P(LayoutErrors, FailWithAMessageSayingWhatAndWhere) {
  TTestForm form;
  try {
    LoadLayout(form, "TTESTFORM", GetParam().layout);
    FAIL() << "loaded a layout with " << GetParam().what;
  } catch (const ELayoutError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    EXPECT_EQ(std::string(e.what()).rfind("TTESTFORM: ", 0), 0u) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layout, LayoutErrors,
    testing::Values(
        BrokenLayout{"malformed JSON", Replace(kValid, "\"Panel1\",", "\"Panel1\""),
                     "malformed layout"},
        BrokenLayout{"a number beyond double", Replace(kValid, "\"Width\": 80", "\"Width\": 1e400"),
                     "malformed layout"},
        BrokenLayout{"another class", Replace(kValid, "\"TTestForm\"", "\"TOther\""),
                     "describes class \"TOther\", expected \"TTestForm\""},
        BrokenLayout{"an unknown handler", Replace(kValid, "\"Button1Click\"", "\"Button9Click\""),
                     "Form1.Panel1.Button1.OnClick: unknown handler 'Button9Click'"},
        BrokenLayout{
            "a handler of the wrong kind",
            Replace(kValid, "\"OnClick\": \"Button1Click\"", "\"OnClick\": \"FormKeyDown\""),
            "Form1.Panel1.Button1.OnClick: handler 'FormKeyDown' does not fit"},
        BrokenLayout{"an unknown property",
                     Replace(kValid, "\"Caption\": \"Кабинет\"", "\"Caption2\": 1"),
                     "Form1.Panel1.Button1: unknown property 'Caption2'"},
        BrokenLayout{"an unknown event", Replace(kValid, "\"OnKeyDown\"", "\"OnKeyUp\""),
                     "Form1: unknown event 'OnKeyUp'"},
        BrokenLayout{"a value of the wrong type",
                     Replace(kValid, "\"Width\": 80", "\"Width\": \"80\""),
                     "Form1.Panel1.Button1.Width: expected an integer"},
        BrokenLayout{"an unknown enumeration value", Replace(kValid, "\"alLeft\"", "\"alMiddle\""),
                     "Form1.Panel1.Align: unknown value 'alMiddle'"},
        BrokenLayout{"an unknown class", Replace(kValid, "\"TButton\"", "\"TCheckBox\""),
                     "Form1.Panel1.Button1: unknown class 'TCheckBox'"},
        BrokenLayout{"a duplicate name",
                     Replace(kValid, "\"name\": \"Actions\"", "\"name\": \"Panel1\""),
                     "Form1.Panel1: the name is empty or used twice"},
        BrokenLayout{"a missing published member",
                     Replace(Replace(kValid, "\"name\": \"Action1\"", "\"name\": \"Action2\""),
                             "\"Action\": \"Action1\"", "\"Action\": \"Action2\""),
                     "TTestForm expects a component named 'Action1'"},
        BrokenLayout{
            "a member of the wrong type",
            Replace(Replace(Replace(kValid, "\"name\": \"Action1\"", "\"name\": \"ActionX\""),
                            "\"name\": \"Actions\"", "\"name\": \"Action1\""),
                    "\"Action\": \"Action1\"", "\"Action\": \"ActionX\""),
            "Form1.Action1: is not of the type TTestForm expects"},
        BrokenLayout{"a dangling reference",
                     Replace(kValid, "\"Action\": \"Action1\"", "\"Action\": \"Nope\""),
                     "Gestures[0].Action: no component named 'Nope'"},
        BrokenLayout{
            "a broken picture",
            Replace(kValid, "\"events\": {\"OnClick\": \"Button1Click\"}}",
                    "\"events\": {\"OnClick\": \"Button1Click\"}}, {\"class\": \"TImage\", "
                    "\"name\": \"I\", \"properties\": {\"Picture\": {\"Format\": \"PNG\", "
                    "\"Data\": \"AAAA\"}}}"),
            "I.Picture.Data: PNG: not a PNG file"},
        BrokenLayout{"a control outside any control",
                     Replace(kValid, "\"components\": [{\"class\": \"TAction\"",
                             "\"components\": [{\"class\": \"TButton\""),
                     "a control must sit inside a control"},
        BrokenLayout{"a bottom-aligned height of INT_MIN",
                     Replace(kValid, "\"Height\": 10, \"Align\": \"alLeft\"",
                             "\"Height\": -2147483648, \"Align\": \"alBottom\""),
                     "Form1.Panel1.Height: -2147483648 is out of range (expected 0 to 32767)"},
        BrokenLayout{"a negative width", Replace(kValid, "\"Width\": 80", "\"Width\": -1"),
                     "Form1.Panel1.Button1.Width: -1 is out of range"},
        BrokenLayout{"a width that would wrap to 80",
                     Replace(kValid, "\"Width\": 80", "\"Width\": 4294967376"),
                     "Form1.Panel1.Button1.Width: 4294967376 is out of range"},
        BrokenLayout{
            "a position beyond 16 bits", Replace(kValid, "\"Left\": 8", "\"Left\": -32768"),
            "Form1.Panel1.Button1.Left: -32768 is out of range (expected -32767 to 32767)"},
        BrokenLayout{"a client height beyond 16 bits",
                     Replace(kValid, "\"ClientHeight\": 300", "\"ClientHeight\": 32768"),
                     "Form1.ClientHeight: 32768 is out of range"},
        BrokenLayout{"a font height beyond 16 bits",
                     Replace(kValid, "\"Height\": -19", "\"Height\": -40000"),
                     "Form1.Font.Height: -40000 is out of range"},
        BrokenLayout{"a tab order beyond int",
                     Replace(kValid, "\"TabOrder\": 1", "\"TabOrder\": 2147483648"),
                     "Form1.Panel1.TabOrder: 2147483648 is out of range"}),
    [](const testing::TestParamInfo<BrokenLayout>& info) { return TestName(info.param.what); });

}  // namespace
}  // namespace fw
