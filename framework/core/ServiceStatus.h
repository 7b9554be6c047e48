#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace fw {

// What the program's screen shows, as the service manager's status line tells an operator.
enum class TScreenShows { Splash, Page, ErrorPage, GivenUp };

// The status line for what the screen shows; `address` is the page's (Page, ErrorPage).
std::string ServiceStatusText(TScreenShows shows, std::string_view address);

// How often the main loop tells the service manager it is alive, for the watchdog interval it
// was given: half of it, so that one late beat is no miss. Never below a millisecond.
std::chrono::milliseconds HeartbeatPeriod(std::chrono::microseconds watchdog);

}  // namespace fw
