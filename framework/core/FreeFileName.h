#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace fw {

// The name a file a page hands over is kept under: the last component of `suggested` (a
// server may send a path), never a name that `exists` already says is taken, so that no
// file is ever replaced: "guide.pdf", then "guide (1).pdf", "guide (2).pdf", ...
// A name that is empty or only dots becomes `fallback`.
std::string FreeFileName(std::string_view suggested,
                         const std::function<bool(const std::string&)>& exists,
                         std::string_view fallback = "download");

}  // namespace fw
