#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// The host of an address, lower case, with its port when it names one: "Clinic.example:8080"
// of "http://user@Clinic.example:8080/a?b". A bare "host[:port][/path]" is its own host.
// Nothing for an address without a host (about:blank, file:///x, data:...).
std::optional<std::string> HostOfAddress(std::string_view address);

// Where a page may lead the kiosk: http and https addresses of the allowed hosts, and the
// engine's empty document. An entry is "host", "host:port" (that port only) or "*.domain"
// (the domain and every host under it, any port).
class NavigationAllowList {
 public:
  explicit NavigationAllowList(std::vector<std::string> entries);
  bool Allows(std::string_view address) const;

 private:
  std::vector<std::string> entries_;
};

}  // namespace fw
