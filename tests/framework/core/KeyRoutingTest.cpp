#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/core/Form.h"
#include "framework/core/KeyRouting.h"
#include "framework/core/StandardControls.h"
#include "tests/support/ManualApplication.h"

namespace fw {
namespace {

TEST(KeyRouting, DialogKeysFirstThenPreviewAndPageKeysToThePage) {
  using R = TKeyRoute;
  struct Case {
    std::uint16_t key;
    TShiftState shift;
    bool inPage, onButton;
    R route;
  } cases[] = {
      {vkReturn, 0, false, true, R::ClickFocused},
      {vkReturn, 0, false, false, R::Preview},  // no push button to click
      {vkTab, 0, false, true, R::TabForward},
      {vkTab, ssShift, false, true, R::TabBackward},
      {vkTab, ssCtrl, false, true, R::Preview},
      {vkDown, 0, false, true, R::NextSibling},
      {vkRight, 0, false, true, R::NextSibling},
      {vkUp, 0, false, true, R::PreviousSibling},
      {vkLeft, 0, false, true, R::PreviousSibling},
      {vkEscape, 0, false, true, R::Preview},  // no cancel button: Escape is no dialog key
      {'A', 0, false, true, R::Preview},
      {' ', 0, false, true, R::Preview},
      {0x70 /* F1 */, 0, false, true, R::Preview},
      {0x12 /* Alt */, ssAlt, false, true, R::Preview},
      {vkDown, ssAlt, false, true, R::Preview},
      {vkEscape, 0, true, false, R::Page},
      {vkTab, 0, true, false, R::Page},
      {'A', 0, true, false, R::Page},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RouteKeyDown(c.key, c.shift, c.inPage, c.onButton), c.route)
        << "key " << c.key << " shift " << c.shift << " page " << c.inPage;
  }
}

// A form whose key preview takes Escape, as the main window's does for its app bar.
class PreviewForm : public TForm {
 public:
  std::vector<std::uint16_t> previewed;
  PreviewForm() {
    KeyPreview = true;
    OnKeyDown = [this](TObject*, std::uint16_t& key, TShiftState) {
      previewed.push_back(key);
      if (key == vkEscape) key = 0;
    };
  }
  std::string ClassName() const override { return "TPreviewForm"; }
  std::string LayoutResourceName() const override { return {}; }
  void Publish(Publisher&) override {}
};

TEST(RouteKey, ThePageHookHasThePagesKeysAndTheFormTheOthersKeyDowns) {
  ManualApplication app;
  PreviewForm form;
  TPanel panel{nullptr};
  panel.SetParent(&form);
  TPanel orphan{nullptr};  // a control of no form
  struct Case {
    const char* what;
    TControl* focused;
    std::uint16_t key;
    bool inPage, keyDown;
    std::optional<bool> hook;  // what the page hook answers; none: no hook
    bool consumed, hookAsked;
    std::vector<std::uint16_t> previewed;
  } cases[] = {
      {"Escape to the form", &panel, vkEscape, false, true, false, true, false, {vkEscape}},
      {"a key the preview leaves", &panel, 'A', false, true, true, false, false, {'A'}},
      {"a key-up passes", &panel, vkEscape, false, false, true, false, false, {}},
      {"the page takes it", &panel, vkEscape, true, true, true, true, true, {}},
      {"the page leaves it", &panel, vkEscape, true, true, false, false, true, {}},
      {"a page key-up too", &panel, vkEscape, true, false, true, true, true, {}},
      {"no hook", &panel, vkEscape, true, true, std::nullopt, false, false, {}},
      {"on the form itself", &form, vkEscape, false, true, false, true, false, {vkEscape}},
      {"no form", &orphan, vkEscape, false, true, false, false, false, {}},
  };
  for (const Case& c : cases) {
    form.previewed.clear();
    bool asked = false;
    TPageKeyHook hook;
    if (c.hook) hook = [&] { return asked = true, *c.hook; };
    std::uint16_t key = c.key;
    EXPECT_EQ(RouteKey(*c.focused, c.inPage, c.keyDown, key, 0, hook), c.consumed) << c.what;
    EXPECT_EQ(asked, c.hookAsked) << c.what;
    EXPECT_EQ(form.previewed, c.previewed) << c.what;
  }
}

}  // namespace
}  // namespace fw
