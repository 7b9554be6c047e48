#pragma once

#include <string_view>

namespace fw {

// What a locked kiosk does with a window its browser's thread makes, seen as it is created and
// again as it first activates.
enum class PageWindowMoment { Created, Activated };
enum class PageWindowAction {
  Leave,    // not the page's: the program's own, or not a dialog
  Refuse,   // never created: the dialog's call reports cancel
  Release,  // shown, but the navigation buttons stay usable and a navigation answers it
};

struct PageWindowFacts {
  std::string_view windowClass;  // "#32770" for a dialog
  std::string_view caption;      // read on activation: a dialog sets it only after creation
  std::string_view madeBy;       // the module whose resources made it, as a file name
  bool ownedByBrowser = false;   // its owner is the browser's window or the window holding it
};

// Only a dialog owned by the browser's window can be the page's: the file window of a file
// input, made by the system's common dialogs, is refused; any other (the engine's `prompt`) is
// released, unless it carries the program's own title.
PageWindowAction DecidePageWindow(PageWindowMoment moment, const PageWindowFacts& window,
                                  std::string_view programTitle);

}  // namespace fw
