#include "settings/SettingKeys.h"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>

#include "framework/core/DisplayHours.h"

namespace {

bool IsAlnum(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool IsHostName(std::string_view name) {
  return !name.empty() && IsAlnum(name.front()) && IsAlnum(name.back()) &&
         std::all_of(name.begin(), name.end(),
                     [](char c) { return IsAlnum(c) || c == '.' || c == '-'; });
}

// The same rule as the build's check: letters, digits, dots and hyphens, starting and ending
// with a letter or digit, then optionally ":" and digits. Nothing else can break out of an
// address or a caption.
std::string RefuseHost(const SettingValue& value) {
  const std::string& host = std::get<std::string>(value);
  const std::size_t colon = host.find(':');
  bool ok = IsHostName(std::string_view(host).substr(0, colon));
  if (ok && colon != std::string::npos) {
    const std::string_view port = std::string_view(host).substr(colon + 1);
    ok = !port.empty() &&
         std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; });
  }
  return ok ? "" : "must be a host name, optionally with :port";
}

// Each entry a host as above, or "*." and a domain name: that domain and every host under it.
std::string RefuseHostPatterns(const SettingValue& value) {
  for (const std::string& entry : std::get<std::vector<std::string>>(value)) {
    const bool wildcard = entry.rfind("*.", 0) == 0;
    if (wildcard ? IsHostName(std::string_view(entry).substr(2)) : RefuseHost(entry).empty()) {
      continue;
    }
    return "each entry must be a host name, optionally with :port, or *. and a domain name, "
           "not " +
           DisplayValue(entry);
  }
  return "";
}

std::string RefuseNothing(const SettingValue&) { return ""; }

std::string RefuseYouTubeId(const SettingValue& value) {
  const std::string& id = std::get<std::string>(value);
  const bool ok = !id.empty() && std::all_of(id.begin(), id.end(), [](char c) {
    return IsAlnum(c) || c == '-' || c == '_';
  });
  return ok ? "" : "must be a YouTube identifier (letters, digits, - and _)";
}

std::string RefuseIdleSeconds(const SettingValue& value) {
  const std::int64_t seconds = std::get<std::int64_t>(value);
  const bool ok = seconds == 0 || (seconds >= 30 && seconds <= 86400);
  return ok ? "" : "must be 0 (off) or a whole number from 30 to 86400";
}

std::string RefuseIdleWarningSeconds(const SettingValue& value) {
  const std::int64_t seconds = std::get<std::int64_t>(value);
  const bool ok = seconds >= 0 && seconds <= 43200;
  return ok ? "" : "must be 0 (no warning) or a whole number up to 43200";
}

std::string RefuseRetrySeconds(const SettingValue& value) {
  const std::int64_t seconds = std::get<std::int64_t>(value);
  const bool ok = seconds == 0 || (seconds >= 5 && seconds <= 3600);
  return ok ? "" : "must be 0 (off) or a whole number from 5 to 3600";
}

// Empty leaves the way out open; a code has enough digits not to be guessed in passing, and
// few enough for a pad.
std::string RefuseExitCode(const SettingValue& value) {
  const std::string& code = std::get<std::string>(value);
  const bool ok = code.empty() || (code.size() >= 4 && code.size() <= 12 &&
                                   std::all_of(code.begin(), code.end(),
                                               [](char c) { return c >= '0' && c <= '9'; }));
  return ok ? "" : "must be empty (no code) or 4 to 12 digits";
}

// Collectors read only "*.prom" files of their folder, and a relative path would depend on
// where the program was started from.
std::string RefuseMetricsFile(const SettingValue& value) {
  const std::string& path = std::get<std::string>(value);
  if (path.empty()) return "";
  const bool absolute =
      path.front() == '/' || path.rfind("\\\\", 0) == 0 ||
      (path.size() > 2 && IsAlnum(path[0]) && !(path[0] >= '0' && path[0] <= '9') &&
       path[1] == ':' && (path[2] == '\\' || path[2] == '/'));
  const bool prom = path.size() > 5 && path.compare(path.size() - 5, 5, ".prom") == 0;
  return absolute && prom ? "" : "must be empty (off) or a full path of a file ending in .prom";
}

std::string RefuseDisplayOffSeconds(const SettingValue& value) {
  const std::int64_t seconds = std::get<std::int64_t>(value);
  const bool ok = seconds == 0 || (seconds >= 60 && seconds <= 86400);
  return ok ? "" : "must be 0 (off) or a whole number from 60 to 86400";
}

std::string RefuseDisplayHours(const SettingValue& value) {
  const auto parsed = fw::TDisplayHours::Parse(std::get<std::string>(value));
  if (parsed.Hours) return "";
  return "must be days and times such as \"Mo-Fr 07:30-20:00; Sa 09:00-14:00\", or empty; " +
         parsed.Error->Describe();
}

// A limit below what the engine needs for one page would recycle it at every reset.
std::string RefuseMemoryLimit(const SettingValue& value) {
  const std::int64_t mib = std::get<std::int64_t>(value);
  const bool ok = mib == 0 || (mib >= 256 && mib <= 16384);
  return ok ? "" : "must be 0 (no limit) or a whole number from 256 to 16384";
}

// Each key's built-in default is the CMake cache variable of the same meaning
// (DUVUZEZERA_CLINIC_HOST, ...), checked when the program is configured; hideCursor,
// lockdown, allowedHosts, onScreenKeyboard, exitCode, metricsFile, displayOffSeconds and
// displayHours have the same value in every build; memoryLimitMiB's is the platform's
// (BuildMemoryLimitMiB).
constexpr std::array kKeys{
    SettingKey{"clinicHost", SettingType::Text, RefuseHost},
    SettingKey{"siteDomain", SettingType::Text, RefuseHost},
    SettingKey{"siteWwwHost", SettingType::Text, RefuseHost},
    SettingKey{"overviewVideo", SettingType::Text, RefuseYouTubeId},
    SettingKey{"playlist", SettingType::Text, RefuseYouTubeId},
    SettingKey{"idleResetSeconds", SettingType::WholeNumber, RefuseIdleSeconds},
    SettingKey{"idleWarningSeconds", SettingType::WholeNumber, RefuseIdleWarningSeconds},
    SettingKey{"retrySeconds", SettingType::WholeNumber, RefuseRetrySeconds},
    SettingKey{"hideCursor", SettingType::Switch, RefuseNothing},
    SettingKey{"lockdown", SettingType::Switch, RefuseNothing},
    SettingKey{"allowedHosts", SettingType::TextList, RefuseHostPatterns},
    // Built in as true: Linux kiosks have no keyboard of the system's; Windows ignores it.
    SettingKey{"onScreenKeyboard", SettingType::Switch, RefuseNothing},
    SettingKey{"exitCode", SettingType::Text, RefuseExitCode, true},
    SettingKey{"metricsFile", SettingType::Text, RefuseMetricsFile},
    SettingKey{"displayOffSeconds", SettingType::WholeNumber, RefuseDisplayOffSeconds},
    SettingKey{"displayHours", SettingType::Text, RefuseDisplayHours},
    SettingKey{"memoryLimitMiB", SettingType::WholeNumber, RefuseMemoryLimit},
};

}  // namespace

std::span<const SettingKey> SettingKeys() { return kKeys; }

const SettingKey* FindSettingKey(std::string_view name) {
  for (const SettingKey& key : kKeys) {
    if (key.name == name) return &key;
  }
  return nullptr;
}

std::string_view TypeName(SettingType type) {
  switch (type) {
    case SettingType::Text:
      return "a string";
    case SettingType::WholeNumber:
      return "a whole number";
    case SettingType::Switch:
      return "true or false";
    case SettingType::TextList:
      return "a list of strings";
  }
  return "";
}

std::string DisplayValue(const SettingValue& value) {
  if (const auto* on = std::get_if<bool>(&value)) return *on ? "true" : "false";
  if (const auto* list = std::get_if<std::vector<std::string>>(&value)) {
    std::string shown = "[";
    for (const std::string& entry : *list) {
      if (shown.size() > 160) return shown + ", ...]";
      shown += (shown.size() > 1 ? ", " : "") + DisplayValue(entry);
    }
    return shown + "]";
  }
  if (const auto* text = std::get_if<std::string>(&value)) {
    // ASCII only, and not too long: it lands in a message whatever the operator wrote.
    std::string quoted =
        nlohmann::json(*text).dump(-1, ' ', true, nlohmann::json::error_handler_t::replace);
    if (quoted.size() > 80) quoted = quoted.substr(0, 76) + "...\"";
    return quoted;
  }
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "true" : "false";
  return std::to_string(std::get<std::int64_t>(value));
}

std::string DisplayValue(const SettingKey& key, const SettingValue& value) {
  if (!key.secret) return DisplayValue(value);
  const auto* text = std::get_if<std::string>(&value);
  return text && text->empty() ? "\"\"" : "(set, not shown)";
}
