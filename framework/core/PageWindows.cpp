#include "framework/core/PageWindows.h"

#include <algorithm>
#include <cctype>

namespace fw {

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

PageWindowAction DecidePageWindow(PageWindowMoment moment, const PageWindowFacts& window,
                                  std::string_view programTitle) {
  if (window.windowClass != "#32770" || !window.ownedByBrowser) return PageWindowAction::Leave;
  if (moment == PageWindowMoment::Created) {
    // Windows names its files in any case.
    return SameLetters(window.madeBy, "comdlg32.dll") ? PageWindowAction::Refuse
                                                      : PageWindowAction::Leave;
  }
  return window.caption == programTitle ? PageWindowAction::Leave : PageWindowAction::Release;
}

}  // namespace fw
