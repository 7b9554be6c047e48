#pragma once

#include <string>

// What the build fixes about the five places the navigation pane opens.
struct NavigationConfig {
  std::string ClinicHost;     // host of the clinic web application, bare or with :port
  std::string SiteDomain;     // the product web site's domain
  std::string SiteWwwHost;    // the site's www host, which serves the user guide
  std::string OverviewVideo;  // YouTube identifier of the overview video
  std::string Playlist;       // YouTube identifier of the product playlist
};

// The addresses, exactly as they are handed to the browser.
struct NavigationTargets {
  std::string Clinic;
  std::string Site;
  std::string OverviewVideo;
  std::string UserGuide;
  std::string Playlist;
};

NavigationTargets ComposeNavigationTargets(const NavigationConfig& config);

// What this build was configured with, and the targets composed from it (defined by the
// build, or by a test).
const NavigationConfig& BuildNavigationConfig();
const NavigationTargets& BuildNavigationTargets();
