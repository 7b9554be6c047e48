#include "tests/support/win32/EmulationRegistry.h"

namespace testing_win32 {

std::optional<DWORD> ReadEmulationValue(const std::wstring& name) {
  DWORD value = 0, size = sizeof value, type = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kEmulationKey, name.c_str(), RRF_RT_ANY, &type, &value,
                   &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return std::nullopt;
  }
  return value;
}

bool EmulationKeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kEmulationKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

void DeleteEmulationKey() {
  RegDeleteTreeW(HKEY_CURRENT_USER, kEmulationKey);
  RegDeleteKeyW(HKEY_CURRENT_USER, kEmulationKey);
}

}  // namespace testing_win32
