#pragma once

#include <cstdint>
#include <string>

// Sets the embedded browser control's document mode for this executable, through the
// per-executable browser-emulation value in the current user's registry hive.
namespace u_LibIEInit {

enum class TIEMode : std::uint8_t { iemUnknown = 0, iemIE7, iemIE8, iemIE9, iemIE10, iemIE11 };

// Under HKEY_CURRENT_USER.
inline constexpr const char* REG_KEY =
    "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

// Writes the emulation value of `Mode` under `AppName` (empty: the executable's file name).
// True exactly when a value was written; never throws.
bool setEmbeddedWebbrowserMode(TIEMode Mode, std::string AppName);

}  // namespace u_LibIEInit
