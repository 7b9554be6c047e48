#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace fw::gtk {

// A file compiled into the executable at build time, under a type and a name, as the
// Windows build links its resources.
struct EmbeddedResource {
  const char* Type;
  const char* Name;
  std::span<const std::uint8_t> Data;
};

// Every resource of the executable; defined by the source the build generates for it.
std::span<const EmbeddedResource> EmbeddedResources();

inline constexpr char kRawDataType[] = "RCDATA";
inline constexpr char kStyleType[] = "DZSTYLE";

// The raw-data resource `name`; throws when the executable has none.
std::string_view LoadRawResource(std::string_view name);

}  // namespace fw::gtk
