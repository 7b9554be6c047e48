#include "framework/core/NavigationAllowList.h"

#include <algorithm>

namespace fw {

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return lower;
}

// "http" of "http://...", nothing when the address does not start with a scheme.
std::optional<std::string> SchemeOf(std::string_view address) {
  const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  const std::size_t colon = address.find(':');
  if (colon == std::string_view::npos || colon == 0 || !letter(address[0])) return std::nullopt;
  const std::string_view scheme = address.substr(0, colon);
  const bool valid = std::all_of(scheme.begin(), scheme.end(), [&](char c) {
    return letter(c) || digit(c) || c == '+' || c == '-' || c == '.';
  });
  // "host:8080" is a host with a port, not a scheme.
  if (!valid || (colon + 1 < address.size() && digit(address[colon + 1]))) return std::nullopt;
  return Lower(scheme);
}

std::string_view WithoutPort(std::string_view host) {
  // An IPv6 literal keeps its colons inside brackets.
  const std::size_t bracket = host.rfind(']');
  const std::size_t colon = host.rfind(':');
  if (colon == std::string_view::npos || (bracket != std::string_view::npos && colon < bracket))
    return host;
  return host.substr(0, colon);
}

bool Matches(const std::string& entry, const std::string& host) {
  if (entry.rfind("*.", 0) == 0) {
    const std::string_view domain = std::string_view(entry).substr(2);
    const std::string_view name = WithoutPort(host);
    return name == domain || (name.size() > domain.size() && name.ends_with(domain) &&
                              name[name.size() - domain.size() - 1] == '.');
  }
  // An entry with a port allows that port only, one without allows any.
  return entry == host || (entry.find(':') == std::string::npos && entry == WithoutPort(host));
}

}  // namespace

std::optional<std::string> HostOfAddress(std::string_view address) {
  std::string_view rest = address;
  if (const auto scheme = SchemeOf(address)) {
    rest = address.substr(scheme->size() + 1);
    if (!rest.starts_with("//")) return std::nullopt;
    rest.remove_prefix(2);
  }
  rest = rest.substr(0, rest.find_first_of("/?#\\"));
  if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos)
    rest.remove_prefix(at + 1);
  if (rest.empty() || WithoutPort(rest).empty()) return std::nullopt;
  std::string host = Lower(rest);
  // A port written but empty ("host:") is the scheme's own.
  if (host.back() == ':') host.pop_back();
  // The name's last dot ("clinic.example.") names the same host.
  const std::size_t end =
      host.find(':', host.rfind(']') == std::string::npos ? 0 : host.rfind(']'));
  const std::size_t nameEnd = end == std::string::npos ? host.size() : end;
  if (nameEnd > 1 && host[nameEnd - 1] == '.') host.erase(nameEnd - 1, 1);
  return host;
}

NavigationAllowList::NavigationAllowList(std::vector<std::string> entries) {
  for (std::string& entry : entries) {
    if (auto host = entry.rfind("*.", 0) == 0 ? std::optional(Lower(entry)) : HostOfAddress(entry))
      entries_.push_back(std::move(*host));
  }
}

bool NavigationAllowList::Allows(std::string_view address) const {
  if (address == "about:blank") return true;
  const auto scheme = SchemeOf(address);
  if (!scheme || (*scheme != "http" && *scheme != "https")) return false;
  const auto host = HostOfAddress(address);
  return host && std::any_of(entries_.begin(), entries_.end(),
                             [&](const std::string& entry) { return Matches(entry, *host); });
}

}  // namespace fw
