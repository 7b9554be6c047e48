#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/SettingsLayer.h"

// Larger files are refused unread: a settings file is a few lines.
inline constexpr std::size_t MaxSettingsFileSize = 1024 * 1024;

// The settings in `text`, one JSON object, under the name `source`.
SettingsLayer ParseSettingsText(std::string_view text, std::string source);

// A path as the system spells it.
#ifdef _WIN32
using SettingsPath = std::wstring;
#else
using SettingsPath = std::string;
#endif

// The settings in the file at `path`, shown to the operator as `source`. A missing file gives
// nothing, unless `mustExist`, when that is the layer's problem.
std::optional<SettingsLayer> ReadSettingsFile(const SettingsPath& path, std::string source,
                                              bool mustExist = false);
