#pragma once

#include <string>

#include "settings/SettingsLayer.h"

// What --check-config prints: each setting in effect with its source, then every problem.
std::string CheckConfigReport(const EffectiveSettings& settings);

// The text of the one box shown at start when settings were refused.
std::string SettingsProblemsMessage(const EffectiveSettings& settings);
