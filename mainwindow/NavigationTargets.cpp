#include "mainwindow/NavigationTargets.h"

NavigationTargets ComposeNavigationTargets(const NavigationConfig& config) {
  constexpr const char* kYouTube = "https://www.youtube.com";
  return {
      config.ClinicHost,
      "http://" + config.SiteDomain,
      std::string(kYouTube) + "/embed/" + config.OverviewVideo + "?autoplay=1",
      "http://" + config.SiteWwwHost + "/wp-content/uploads/2016/07/Rezazaveru_UserGuide.pdf",
      std::string(kYouTube) + "/playlist?list=" + config.Playlist,
  };
}
