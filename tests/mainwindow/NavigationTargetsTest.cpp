#include <gtest/gtest.h>

#include "mainwindow/NavigationTargets.h"

TEST(NavigationTargets, ComposedExactlyFromTheBuildTimeParts) {
  const NavigationTargets t = ComposeNavigationTargets(
      {"clinic.example", "site.example", "www.site.example", "VID_1-x", "PL_list-9"});
  EXPECT_EQ(t.Clinic, "clinic.example");  // bare host, passed as stored
  EXPECT_EQ(t.Site, "http://site.example");
  EXPECT_EQ(t.OverviewVideo, "https://www.youtube.com/embed/VID_1-x?autoplay=1");
  EXPECT_EQ(t.UserGuide,
            "http://www.site.example/wp-content/uploads/2016/07/Rezazaveru_UserGuide.pdf");
  EXPECT_EQ(t.Playlist, "https://www.youtube.com/playlist?list=PL_list-9");
}

TEST(NavigationTargets, HostsMayCarryAPort) {
  const NavigationTargets t =
      ComposeNavigationTargets({"127.0.0.1:8080", "127.0.0.1:8081", "127.0.0.1:8082", "v", "p"});
  // Without a scheme the browser control would send nothing for host:port.
  EXPECT_EQ(t.Clinic, "http://127.0.0.1:8080");
  EXPECT_EQ(t.Site, "http://127.0.0.1:8081");
  EXPECT_EQ(t.UserGuide,
            "http://127.0.0.1:8082/wp-content/uploads/2016/07/Rezazaveru_UserGuide.pdf");
}
