#include <gtest/gtest.h>

#include "framework/core/PageWindows.h"

namespace {

using fw::PageWindowAction;
using fw::PageWindowMoment;

constexpr const char* kTitle = "Кабинет Duvuzezera";

TEST(PageWindows, OnlyTheBrowsersDialogsAreThePages) {
  struct Case {
    const char* name;
    PageWindowMoment moment;
    fw::PageWindowFacts window;
    PageWindowAction action;
  };
  const auto created = PageWindowMoment::Created;
  const auto activated = PageWindowMoment::Activated;
  const Case cases[] = {
      {"the file window of a file input",
       created,
       {"#32770", "", "comdlg32.dll", true},
       PageWindowAction::Refuse},
      {"the file window, its module named in capitals",
       created,
       {"#32770", "", "COMDLG32.DLL", true},
       PageWindowAction::Refuse},
      {"a file window of no browser's",
       created,
       {"#32770", "", "comdlg32.dll", false},
       PageWindowAction::Leave},
      {"a common dialog's module but no dialog",
       created,
       {"Button", "", "comdlg32.dll", true},
       PageWindowAction::Leave},
      {"the engine's prompt as it is made",
       created,
       {"#32770", "", "ieframe.dll", true},
       PageWindowAction::Leave},
      {"the engine's prompt as it shows",
       activated,
       {"#32770", "Explorer User Prompt", "ieframe.dll", true},
       PageWindowAction::Release},
      {"a box of the page without a caption",
       activated,
       {"#32770", "", "user32.dll", true},
       PageWindowAction::Release},
      {"the program's own box",
       activated,
       {"#32770", kTitle, "user32.dll", true},
       PageWindowAction::Leave},
      {"a caption that only begins with the title",
       activated,
       {"#32770", "Кабинет Duvuzezera - page", "user32.dll", true},
       PageWindowAction::Release},
      {"a box of another window",
       activated,
       {"#32770", "Page", "user32.dll", false},
       PageWindowAction::Leave},
      {"the app bar or the keyboard", activated, {"TPanel", "", "", true}, PageWindowAction::Leave},
  };
  for (const Case& c : cases)
    EXPECT_EQ(fw::DecidePageWindow(c.moment, c.window, kTitle), c.action) << c.name;
}

}  // namespace
