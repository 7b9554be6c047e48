#include "app/ProgramSettings_win.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>

#include "app/ProgramSettings.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Unicode.h"
#include "settings/SettingsFile.h"

namespace {

using fw::win32::Narrow;
using fw::win32::Widen;

// Every value of the policy key under `root`: nothing when the key is absent.
std::optional<SettingsLayer> ReadPolicies(HKEY root, const std::string& rootName) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, PolicyKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const fw::win32::UniqueKey key(opened);
  SettingsLayer layer{rootName + "\\" + Narrow(PolicyKey), {}, {}};
  DWORD count = 0, longestName = 0, longestData = 0;
  if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                       &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
    layer.Refuse("", "cannot be read");
    return layer;
  }
  for (DWORD i = 0; i < count; ++i) {
    std::wstring name(longestName + 1, L'\0');
    std::vector<BYTE> data(longestData + sizeof(wchar_t));
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD dataSize = static_cast<DWORD>(data.size() - sizeof(wchar_t));
    DWORD type = 0;
    if (RegEnumValueW(key.get(), i, name.data(), &nameLength, nullptr, &type, data.data(),
                      &dataSize) != ERROR_SUCCESS) {
      layer.Refuse("", "a value cannot be read");
      continue;
    }
    name.resize(nameLength);
    const std::string valueName = Narrow(name);
    if (type == REG_SZ) {
      std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), dataSize / sizeof(wchar_t));
      while (!text.empty() && text.back() == L'\0') text.pop_back();
      layer.OfferText(valueName, Narrow(text));
    } else if (type == REG_DWORD && dataSize == sizeof(DWORD)) {
      DWORD number = 0;
      memcpy(&number, data.data(), sizeof number);
      layer.OfferNumber(valueName, static_cast<std::int64_t>(number));
    } else if (type == REG_MULTI_SZ) {
      // Strings each ended by a null, the list by one more.
      std::vector<std::string> entries;
      const auto* text = reinterpret_cast<const wchar_t*>(data.data());
      const std::size_t length = dataSize / sizeof(wchar_t);
      for (std::size_t start = 0; start < length && text[start];) {
        std::size_t end = start;
        while (end < length && text[end]) ++end;
        entries.push_back(Narrow(std::wstring(text + start, end - start)));
        start = end + 1;
      }
      layer.Offer(valueName, std::move(entries));
    } else if (!FindSettingKey(valueName)) {
      layer.Offer(valueName, std::string());  // reports the unknown name
    } else {
      layer.Refuse(valueName, "must be REG_SZ, REG_DWORD or REG_MULTI_SZ");
    }
  }
  return layer;
}

struct CloseFile {
  void operator()(HANDLE h) const {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

struct FreeTaskMemory {
  void operator()(wchar_t* p) const { CoTaskMemFree(p); }
};

std::wstring ProgramDataFolder() {
  wchar_t* found = nullptr;
  const HRESULT result = SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &found);
  const std::unique_ptr<wchar_t, FreeTaskMemory> folder(found);
  return SUCCEEDED(result) && folder ? std::wstring(folder.get()) : std::wstring();
}

}  // namespace

std::vector<SettingsPath> SettingsFiles(const CommandLine& line) {
  if (line.configFile) return {Widen(*line.configFile)};
  if (const std::wstring folder = ProgramDataFolder(); !folder.empty())
    return {folder + L"\\Duvuzezera\\kiosk.json"};
  return {};
}

std::vector<SettingsLayer> SettingsSources(const CommandLine& line) {
  std::vector<SettingsLayer> layers;
  if (auto machine = ReadPolicies(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE")) {
    layers.push_back(std::move(*machine));
  }
  if (auto user = ReadPolicies(HKEY_CURRENT_USER, "HKEY_CURRENT_USER")) {
    layers.push_back(std::move(*user));
  }
  for (const SettingsPath& path : SettingsFiles(line)) {
    if (auto file = ReadSettingsFile(path, Narrow(path), line.configFile.has_value()))
      layers.push_back(std::move(*file));
  }
  return layers;
}

namespace {

bool Write(HANDLE out, const std::string& crlf) {
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(out, &mode)) {
    const std::wstring wide = Widen(crlf);
    return WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
           written == wide.size();
  }
  return WriteFile(out, crlf.data(), static_cast<DWORD>(crlf.size()), &written, nullptr) &&
         written == crlf.size();
}

}  // namespace

// A program of the window subsystem has no console of its own: the text goes to the handle
// it inherited (a pipe or file of a script), else to the console of the one that started it.
// A console handle inherited without the console itself cannot be written: that also goes to
// the parent's console.
void PrintToCaller(const std::string& text) {
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out != nullptr && out != INVALID_HANDLE_VALUE && Write(out, crlf)) return;
  // Started from no console and with no handle: there is no one to tell; the exit code still
  // does.
  if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return;
  const std::unique_ptr<void, CloseFile> console(
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr));
  if (console.get() != INVALID_HANDLE_VALUE) Write(console.get(), crlf);
}
