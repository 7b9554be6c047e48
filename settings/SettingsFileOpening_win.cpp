#include <windows.h>

#include <cstdio>
#include <string>

#include "settings/SettingsFileOpening.h"

namespace {

// The system's text for an error, in UTF-8 and without its line end.
std::string Describe(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide(text ? text : L"", length);
  if (text) LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' '))
    wide.pop_back();
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), size,
                        nullptr, nullptr);
  }
  return narrow;
}

}  // namespace

SettingsFileOpening OpenSettingsFile(const SettingsPath& path) {
  using Found = SettingsFileOpening::Found;
  SettingsFileOpening opening;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return opening;
    opening.found = Found::Unreadable;
    opening.reason = Describe(error);
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    opening.found = Found::Folder;
  } else {
    opening.file.reset(_wfopen(path.c_str(), L"rb"));
    opening.found = opening.file ? Found::File : Found::Unreadable;
  }
  return opening;
}
