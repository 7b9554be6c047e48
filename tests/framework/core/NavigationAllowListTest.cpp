#include <gtest/gtest.h>

#include "framework/core/NavigationAllowList.h"

namespace {

TEST(HostOfAddress, TakesTheHostAndPortOfAnAddressOrABareHost) {
  struct Case {
    const char* address;
    std::optional<std::string> host;
  };
  const Case cases[] = {
      {"http://Clinic.Example/a?b#c", "clinic.example"},
      {"https://user:pw@clinic.example:8443/x", "clinic.example:8443"},
      {"clinic.example", "clinic.example"},
      {"127.0.0.1:47313", "127.0.0.1:47313"},
      {"127.0.0.1:47313/path", "127.0.0.1:47313"},
      {"http://clinic.example.:80/", "clinic.example:80"},
      {"http://clinic.example:/", "clinic.example"},
      {"http://[::1]:8080/", "[::1]:8080"},
      {"http://evil.example\\@clinic.example/", "evil.example"},
      {"about:blank", std::nullopt},
      {"file:///etc/hostname", std::nullopt},
      {"data:text/html,x", std::nullopt},
      {"http://", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(fw::HostOfAddress(c.address), c.host) << c.address;
}

TEST(NavigationAllowList, AllowsOnlyWebAddressesOfTheListedHosts) {
  const fw::NavigationAllowList allowed(
      {"http://127.0.0.1:47313", "www.site.example", "*.youtube.com", "https://Docs.Example/x"});
  struct Case {
    const char* address;
    bool allowed;
  };
  const Case cases[] = {
      {"http://127.0.0.1:47313/next", true},
      {"http://127.0.0.1:47314/", false},                // a listed port is the only one
      {"http://www.site.example:8080/guide.pdf", true},  // a host without a port: any port
      {"https://WWW.SITE.EXAMPLE/", true},
      {"http://site.example/", false},
      {"http://evil-www.site.example/", false},
      {"https://www.youtube.com/embed/x", true},
      {"https://youtube.com/", true},
      {"https://a.b.youtube.com:443/", true},
      {"https://notyoutube.com/", false},
      {"https://youtube.com.evil.example/", false},
      {"http://docs.example/other", true},
      {"http://user@www.site.example/", true},
      {"http://www.site.example@evil.example/", false},
      {"about:blank", true},
      {"about:config", false},
      {"file:///etc/hostname", false},
      {"ftp://www.site.example/", false},
      {"javascript:alert(1)", false},
      {"data:text/html,<p>x", false},
      {"webkit-pdfjs-viewer://pdfjs/web/viewer.html", false},
      {"www.site.example", false},  // no scheme: not an address the engine navigates to
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(allowed.Allows(c.address), c.allowed) << c.address;
}

}  // namespace
