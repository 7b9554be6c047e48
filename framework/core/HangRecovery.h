#pragma once

#include <chrono>

namespace fw {

// What to do about a page whose engine stopped answering.
enum class THangStep {
  None,            // nothing now
  EndAndReload,    // end the engine's process and load the page again
  EndAndBlank,     // end it and show the engine's blank page: the reloaded page hung too
  EndAndNavigate,  // end it and load what the program asked for, which the hang holds up
};

// A hung page never holds the browser: a navigation the program asks for ends the hung
// process first, and a page that stays hung for `Patience` is reloaded once, then given up.
class THangRecovery {
 public:
  static constexpr std::chrono::seconds Patience{15};

  // The engine reports the page unresponsive, which it finds out only when it asks the page
  // something (input, a load). A navigation of the program's that the hang holds up goes
  // ahead at once; otherwise (None) the caller waits Patience, then asks PatienceOut.
  [[nodiscard]] THangStep Unresponsive();
  void Responsive() { hung_ = false; }
  // The program navigates. True: end the hung process first. A new page may be reloaded
  // once again.
  [[nodiscard]] bool Navigating();
  // The program's navigation has reached its page.
  void Committed() { navigationWaits_ = false; }
  [[nodiscard]] THangStep PatienceOut();

 private:
  bool hung_ = false;
  bool reloaded_ = false;         // the page shown was reloaded after hanging
  bool navigationWaits_ = false;  // the program's navigation has not reached its page yet
};

}  // namespace fw
