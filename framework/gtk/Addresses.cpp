#include "framework/gtk/Addresses.h"

#include <algorithm>
#include <cctype>

namespace fw::gtk {

namespace {

// RFC 3986: ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ) ":"
bool HasScheme(const std::string& target) {
  // The blank document's address has no "//"; a host with a port never starts so.
  if (target.rfind("about:", 0) == 0) return true;
  const auto colon = target.find("://");
  if (colon == std::string::npos || colon == 0) return false;
  const auto isSchemeChar = [](unsigned char c) {
    return std::isalnum(c) || c == '+' || c == '-' || c == '.';
  };
  return std::isalpha(static_cast<unsigned char>(target[0])) &&
         std::all_of(target.begin(), target.begin() + static_cast<long>(colon), isSchemeChar);
}

}  // namespace

std::string AddressWithScheme(const std::string& target) {
  return HasScheme(target) ? target : "http://" + target;
}

}  // namespace fw::gtk
