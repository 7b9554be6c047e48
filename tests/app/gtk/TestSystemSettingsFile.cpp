// The system settings file of a test build: the one the test names, never the machine's, so an
// installed package's file cannot reach the program under test.
#include <cstdlib>

#include "app/SystemSettingsFile.h"

std::optional<std::filesystem::path> SystemSettingsFile() {
  const char* path = std::getenv("DUVUZEZERA_TEST_SYSTEM_SETTINGS");
  if (!path || !*path) return std::nullopt;
  return std::filesystem::path(path);
}
