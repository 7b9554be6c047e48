#pragma once

#include <chrono>

namespace fw {

// What to do about a page whose engine stopped answering.
enum class THangStep {
  None,          // it answers again, or was dealt with already
  EndAndReload,  // end the engine's process and load the page again
  EndAndBlank,   // end it and show the engine's blank page: the reloaded page hung too
};

// A hung page never holds the browser: a navigation the program asks for ends the hung
// process first, and a page that stays hung for `Patience` is reloaded once, then given up.
class THangRecovery {
 public:
  static constexpr std::chrono::seconds Patience{15};

  // The engine reports the page unresponsive; the caller waits Patience, then asks
  // PatienceOut.
  void Unresponsive() { hung_ = true; }
  void Responsive() { hung_ = false; }
  bool Hung() const { return hung_; }
  // The program navigates. True: end the hung process first. A new page may be reloaded
  // once again.
  [[nodiscard]] bool Navigating();
  [[nodiscard]] THangStep PatienceOut();

 private:
  bool hung_ = false;
  bool reloaded_ = false;  // the page shown was reloaded after hanging
};

}  // namespace fw
