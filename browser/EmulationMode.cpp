#include "browser/EmulationMode.h"

namespace u_LibIEInit {

std::uint32_t EmulationValue(TIEMode Mode) {
  switch (Mode) {
    case TIEMode::iemUnknown:
      return 0;
    case TIEMode::iemIE7:
      return 7000;
    case TIEMode::iemIE8:
      return 8888;
    case TIEMode::iemIE9:
      return 9999;
    case TIEMode::iemIE10:
      return 10001;
    default:
      return 11001;
  }
}

std::int32_t embeddedWebbrowserMode(bool bSet, TIEMode Mode, std::string AppName,
                                    const EmulationPlatform& platform) {
  std::int32_t Result = 0;
  // Reading the current mode back is never asked for; only setting is supported.
  if (!bSet || Mode == TIEMode::iemUnknown) return Result;
  try {
    if (AppName.empty()) AppName = platform.ExecutableFileName();
    const std::uint32_t Value = EmulationValue(Mode);
    std::unique_ptr<RegistryAccessor> registry = platform.CreateRegistry();
    if (registry && registry->OpenKey(REG_KEY)) {
      registry->WriteInteger(AppName, Value);
      Result = static_cast<std::int32_t>(Value);
      registry->CloseKey();
    }
  } catch (...) {
    // Failures are not reported: the browser keeps whatever mode the registry held.
  }
  return Result;
}

}  // namespace u_LibIEInit
