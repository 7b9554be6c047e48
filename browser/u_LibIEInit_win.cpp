// The Windows side of the emulation module: the real registry and module path.
#include <windows.h>

#include <stdexcept>

#include "browser/EmulationMode.h"
#include "browser/u_LibIEInit.h"
#include "framework/win32/Handles.h"
#include "framework/win32/SystemInfo.h"
#include "framework/win32/Unicode.h"

namespace u_LibIEInit {

namespace {

class Win32Registry : public RegistryAccessor {
 public:
  bool OpenKey(const std::string& key) override {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, fw::win32::Widen(key).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &opened,
                        nullptr) != ERROR_SUCCESS) {
      return false;
    }
    key_.reset(opened);
    return true;
  }
  void WriteInteger(const std::string& name, std::uint32_t value) override {
    const DWORD data = value;
    const LSTATUS status = RegSetValueExW(key_.get(), fw::win32::Widen(name).c_str(), 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&data), sizeof data);
    if (status != ERROR_SUCCESS) {
      throw std::runtime_error("Failed to set data for '" + name + "' (error " +
                               std::to_string(status) + ")");
    }
  }
  void CloseKey() override { key_.reset(); }

 private:
  fw::win32::UniqueKey key_;
};

}  // namespace

bool setEmbeddedWebbrowserMode(TIEMode Mode, std::string AppName) {
  static const EmulationPlatform windows{
      [] { return std::make_unique<Win32Registry>(); },
      [] { return fw::win32::Narrow(fw::win32::ExecutableFileName()); },
  };
  return embeddedWebbrowserMode(true, Mode, std::move(AppName), windows) > 0;
}

}  // namespace u_LibIEInit
