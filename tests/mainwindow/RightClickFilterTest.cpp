#include <gtest/gtest.h>

#include "framework/core/PopupMenu.h"
#include "framework/core/StandardControls.h"
#include "framework/core/WebBrowser.h"
#include "mainwindow/RightClickFilter.h"

namespace {

TEST(RightClickFilter, OnlyRightDownAndUpOverABrowserAreDiscarded) {
  fw::TWebBrowser browser(nullptr);
  fw::TWebBrowser browserWithMenu(nullptr);
  fw::TPopupMenu menu(nullptr);
  browserWithMenu.PopupMenu = &menu;
  fw::TPanel panel(nullptr);
  fw::TButton button(nullptr);
  using M = HookedMouseMessage;
  struct Case {
    bool isAction;
    M message;
    const fw::TControl* control;
    RightClickDecision expected;
  } cases[] = {
      {true, M::RightButtonDown, &browser, {true, false}},
      {true, M::RightButtonUp, &browser, {true, false}},
      {true, M::RightButtonDown, &browserWithMenu, {true, false}},  // the menu waits for release
      {true, M::RightButtonUp, &browserWithMenu, {true, true}},
      {true, M::Other, &browser, {false, false}},  // left button, double-click, non-client
      {false, M::RightButtonDown, &browser, {false, false}},  // not HC_ACTION
      {false, M::RightButtonUp, &browserWithMenu, {false, false}},
      {true, M::RightButtonDown, &panel, {false, false}},
      {true, M::RightButtonUp, &button, {false, false}},
      {true, M::RightButtonUp, nullptr, {false, false}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecideRightClick(c.isAction, c.message, c.control), c.expected)
        << c.isAction << " " << static_cast<int>(c.message) << " " << c.control;
  }
}

}  // namespace
