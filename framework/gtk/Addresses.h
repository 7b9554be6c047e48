#pragma once

#include <string>

namespace fw::gtk {

// The web view opens only absolute addresses: a target without a scheme (a bare host, as
// the build may store the clinic's) is opened over HTTP.
std::string AddressWithScheme(const std::string& target);

}  // namespace fw::gtk
