#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace testing_win32 {

inline constexpr wchar_t kEmulationKey[] =
    L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

// The REG_DWORD value `name` under the emulation key, if there is one.
std::optional<DWORD> ReadEmulationValue(const std::wstring& name);
bool EmulationKeyExists();
void DeleteEmulationKey();

}  // namespace testing_win32
