#include "mainwindow/NavigationTargets.h"

namespace {

// The browser control opens a bare host as it is, but sends nothing for "host:port" without
// a scheme; a host that carries a port therefore gets one.
std::string ClinicTarget(const std::string& host) {
  return host.find(':') == std::string::npos ? host : "http://" + host;
}

}  // namespace

NavigationTargets ComposeNavigationTargets(const NavigationConfig& config) {
  constexpr const char* kYouTube = "https://www.youtube.com";
  return {
      ClinicTarget(config.ClinicHost),
      "http://" + config.SiteDomain,
      std::string(kYouTube) + "/embed/" + config.OverviewVideo + "?autoplay=1",
      "http://" + config.SiteWwwHost + "/wp-content/uploads/2016/07/Rezazaveru_UserGuide.pdf",
      std::string(kYouTube) + "/playlist?list=" + config.Playlist,
  };
}
