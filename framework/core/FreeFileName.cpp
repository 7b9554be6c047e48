#include "framework/core/FreeFileName.h"

#include <algorithm>

namespace fw {

namespace {

// What stays of the server's name: its last component, without characters that a file
// system refuses or that would make it a different name on another system.
std::string LastComponent(std::string_view suggested, std::string_view fallback) {
  const std::size_t slash = suggested.find_last_of("/\\");
  std::string name(slash == std::string_view::npos ? suggested : suggested.substr(slash + 1));
  std::replace_if(
      name.begin(), name.end(),
      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == ':'; }, '_');
  if (std::all_of(name.begin(), name.end(), [](char c) { return c == '.' || c == ' '; }))
    return std::string(fallback);
  return name;
}

}  // namespace

std::string FreeFileName(std::string_view suggested,
                         const std::function<bool(const std::string&)>& exists,
                         std::string_view fallback) {
  const std::string name = LastComponent(suggested, fallback);
  if (!exists(name)) return name;
  // The number goes before the extension; a name that starts with its only dot (".profile")
  // has none.
  const std::size_t dot = name.rfind('.');
  const bool hasExtension = dot != std::string::npos && dot != 0;
  const std::string stem = hasExtension ? name.substr(0, dot) : name;
  const std::string extension = hasExtension ? name.substr(dot) : "";
  for (unsigned number = 1;; ++number) {
    std::string candidate = stem + " (" + std::to_string(number) + ")" + extension;
    if (!exists(candidate)) return candidate;
  }
}

}  // namespace fw
