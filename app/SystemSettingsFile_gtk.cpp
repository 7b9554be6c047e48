// A member of its own in the library: a program that defines SystemSettingsFile itself (a test
// build) takes its own instead.
#include "app/SystemSettingsFile.h"

std::optional<std::filesystem::path> SystemSettingsFile() {
  return std::filesystem::path("/etc/duvuzezera-webmobclient/kiosk.json");
}
