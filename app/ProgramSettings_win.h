#pragma once

// The key of the program's policy values, under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
inline constexpr const wchar_t* PolicyKey = L"SOFTWARE\\Policies\\Duvuzezera\\WebMobClient";
