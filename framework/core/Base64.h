#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace fw {

// Standard alphabet with padding; white space is skipped. Nothing for malformed text.
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text);

}  // namespace fw
