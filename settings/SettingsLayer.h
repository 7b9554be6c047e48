#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/SettingKeys.h"

// Something the operator gave that the program cannot use, and where it came from.
struct SettingProblem {
  std::string source;  // a file's path, a registry key's path, "command line"
  std::string key;     // the key or value name; empty when the whole source is at fault
  std::string reason;

  std::string Describe() const;
  bool operator==(const SettingProblem&) const = default;
};

// The settings one source gives: only values that passed their rules; what did not pass
// is in `problems`.
struct SettingsLayer {
  std::string source;
  std::map<std::string, SettingValue, std::less<>> values;
  std::vector<SettingProblem> problems;

  // Takes `value` for `key` when the key exists, the type is the key's and the rule allows
  // it; otherwise records why not.
  void Offer(std::string_view key, const SettingValue& value);
  // The same for a value written as text (a registry string): a whole number is read from
  // decimal digits, true or false as those words (or 1 and 0).
  void OfferText(std::string_view key, std::string_view text);
  void Refuse(std::string_view key, std::string reason);
};

struct EffectiveSetting {
  std::string key;
  SettingValue value;
  std::string source;
};

// What the program runs with: every key once, in the keys' order, and every problem met.
struct EffectiveSettings {
  std::vector<EffectiveSetting> settings;
  std::vector<SettingProblem> problems;

  const std::string& Text(std::string_view key) const;
  std::int64_t WholeNumber(std::string_view key) const;
  bool Boolean(std::string_view key) const;
};

// For each key the first layer (highest first) that holds it, else the built-in value.
// `builtIn` holds every key; its values were checked when the program was built.
EffectiveSettings ResolveSettings(std::span<const SettingsLayer> highestFirst,
                                  const SettingsLayer& builtIn);
// The rules that join two keys: a value that breaks one is refused like any other, and the
// built-in value takes its place.
void RefuseAcrossKeys(EffectiveSettings& effective, const SettingsLayer& builtIn);
