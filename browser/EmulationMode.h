#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "browser/u_LibIEInit.h"

// The portable part of the emulation module: the value table and the writing routine over a
// small registry interface that each platform implements.
namespace u_LibIEInit {

// 7000, 8888, 9999, 10001 for IE7 to IE10; 11001 for IE11 and any other non-zero ordinal;
// 0 for iemUnknown.
std::uint32_t EmulationValue(TIEMode Mode);

// A registry accessor rooted at the current user's hive, opened with full access.
class RegistryAccessor {
 public:
  virtual ~RegistryAccessor() = default;
  // Opens `key`, creating it and any missing parents; false when it cannot.
  virtual bool OpenKey(const std::string& key) = 0;
  // Writes a 32-bit value (REG_DWORD) under the open key; throws when refused.
  virtual void WriteInteger(const std::string& name, std::uint32_t value) = 0;
  virtual void CloseKey() = 0;
};

struct EmulationPlatform {
  std::function<std::unique_ptr<RegistryAccessor>()> CreateRegistry;
  std::function<std::string()> ExecutableFileName;
};

// The value written, or 0 when nothing was. Every failure, thrown or returned, ends in 0;
// the accessor is released on every path.
std::int32_t embeddedWebbrowserMode(bool bSet, TIEMode Mode, std::string AppName,
                                    const EmulationPlatform& platform);

}  // namespace u_LibIEInit
