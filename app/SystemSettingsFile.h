#pragma once

#include <filesystem>
#include <optional>

// The administrator's settings file on Linux, read under the user's; none when the build reads
// none. The program's lies in /etc (SystemSettingsFile_gtk.cpp); a test build links its own.
std::optional<std::filesystem::path> SystemSettingsFile();
