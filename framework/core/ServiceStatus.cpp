#include "framework/core/ServiceStatus.h"

#include <algorithm>

namespace fw {

std::string ServiceStatusText(TScreenShows shows, std::string_view address) {
  switch (shows) {
    case TScreenShows::Splash:
      return "Splash: waiting for a tap";
    case TScreenShows::Page:
      return "Page: " + std::string(address);
    case TScreenShows::ErrorPage:
      return "Error page: " + std::string(address) + " could not be loaded";
    case TScreenShows::GivenUp:
      return "Given up: the page's web process kept dying; splash until the next tap";
  }
  return {};
}

std::chrono::milliseconds HeartbeatPeriod(std::chrono::microseconds watchdog) {
  return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(watchdog / 2),
                  std::chrono::milliseconds(1));
}

}  // namespace fw
