// The settings file's reader on any bytes: it refuses what it cannot use and never crashes;
// whatever it takes passed its key's rule.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/SettingsFile.h"
#include "tests/fuzz/Require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const SettingsLayer layer =
      ParseSettingsText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json");
  for (const auto& [key, value] : layer.values) {
    const SettingKey* known = FindSettingKey(key);
    Require(known != nullptr && known->refuse(value).empty());
  }
  for (const SettingProblem& problem : layer.problems) Require(!problem.Describe().empty());
  return 0;
}
