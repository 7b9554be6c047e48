#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

// A setting's value as the program uses it.
using SettingValue = std::variant<std::string, std::int64_t, bool>;

enum class SettingType { Text, WholeNumber, Boolean };

// One setting an operator may give at run time: its JSON key (also its policy value's name),
// its type and the rule its values must follow.
struct SettingKey {
  std::string_view name;
  SettingType type;
  // Why `value` (already of the key's type) cannot be used; empty when it can.
  std::string (*refuse)(const SettingValue& value);
};

// Every setting, in the order they are listed to the operator.
std::span<const SettingKey> SettingKeys();
const SettingKey* FindSettingKey(std::string_view name);

// "a string", "a whole number" or "true or false", for messages.
std::string_view TypeName(SettingType type);

// The value in the form an operator writes it: a string quoted as in JSON, a number or
// true/false bare.
std::string DisplayValue(const SettingValue& value);
