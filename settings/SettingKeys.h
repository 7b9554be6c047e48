#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A setting's value as the program uses it.
using SettingValue = std::variant<std::string, std::int64_t, bool, std::vector<std::string>>;

// In the order of SettingValue's alternatives.
enum class SettingType { Text, WholeNumber, Switch, TextList };

// One setting an operator may give at run time: its JSON key (also its policy value's name),
// its type and the rule its values must follow.
struct SettingKey {
  std::string_view name;
  SettingType type;
  // Why `value` (already of the key's type) cannot be used; empty when it can.
  std::string (*refuse)(const SettingValue& value);
  // Its value is never repeated in a message or a report: they may be read on the kiosk's own
  // screen.
  bool secret = false;
};

// Every setting, in the order they are listed to the operator.
std::span<const SettingKey> SettingKeys();
const SettingKey* FindSettingKey(std::string_view name);

// "a string", "a whole number", ..., for messages.
std::string_view TypeName(SettingType type);

// The value in the form an operator writes it, as in JSON: a string quoted, a number or switch
// bare, a list in brackets.
std::string DisplayValue(const SettingValue& value);
// The same for `key`'s value: a secret's only says whether it is set.
std::string DisplayValue(const SettingKey& key, const SettingValue& value);
