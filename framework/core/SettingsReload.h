#pragma once

#include <chrono>

namespace fw {

// When settings that changed while the program runs take effect. A change is read once the
// writes have settled (an editor saves in steps), and new settings are applied only while
// the splash shows: at once if it shows, otherwise when the kiosk next returns to it. A read
// with problems changes nothing, and drops what was waiting.
class TSettingsReload {
 public:
  // Long enough for a save in steps, short enough that an operator sees the change at once.
  static constexpr std::chrono::milliseconds Settle{500};

  enum class TInput {
    SourceChanged,  // a watched file or policy key changed
    Settled,        // the settle timer is due
    ReadValid,      // the sources were read and every value passed
    ReadInvalid,    // the read found problems
    SplashShown,    // back at the splash: an idle reset, or the kiosk gave up a page
    PageOpened,     // a visitor left the splash for a page
  };

  enum class TCommand {
    None,
    StartSettleTimer,  // (again) from now
    Read,
    Apply,  // the settings of the last valid read
  };

  TCommand Handle(TInput input);

  bool Waiting() const { return waiting_; }

 private:
  bool splash_ = true;
  bool settling_ = false;
  bool waiting_ = false;
};

}  // namespace fw
