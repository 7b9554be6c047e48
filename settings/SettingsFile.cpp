#include "settings/SettingsFile.h"

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>

#include "settings/SettingsFileOpening.h"

namespace {

// The parser's message without its "[json.exception.parse_error.101] parse error " start, and
// with what it quotes of the file kept to printable ASCII: it lands in a message box.
std::string ParseErrorReason(const nlohmann::json::exception& e) {
  std::string message = e.what();
  if (const std::size_t tag = message.find("] ");
      message.rfind("[json.", 0) == 0 && tag != std::string::npos) {
    message.erase(0, tag + 2);
  }
  if (message.rfind("parse error ", 0) == 0) message.erase(0, 12);
  for (char& c : message) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  return "not JSON: " + message;
}

bool HasType(const nlohmann::json& value, SettingType type) {
  switch (type) {
    case SettingType::Text:
      return value.is_string();
    case SettingType::WholeNumber:
      return value.is_number_integer();
    case SettingType::Switch:
      return value.is_boolean();
    case SettingType::TextList:
      return value.is_array() &&
             std::all_of(value.begin(), value.end(), [](const auto& v) { return v.is_string(); });
  }
  return false;
}

}  // namespace

SettingsLayer ParseSettingsText(std::string_view text, std::string source) {
  SettingsLayer layer{std::move(source), {}, {}};
  nlohmann::json document;
  try {
    document = nlohmann::json::parse(text.begin(), text.end());
  } catch (const nlohmann::json::exception& e) {
    layer.Refuse("", ParseErrorReason(e));
    return layer;
  }
  if (!document.is_object()) {
    layer.Refuse("", "must be one JSON object ({\"clinicHost\": \"...\", ...})");
    return layer;
  }
  for (const auto& [key, value] : document.items()) {
    const SettingKey* known = FindSettingKey(key);
    if (!known) {
      layer.Offer(key, std::string());  // reports the unknown key
    } else if (!HasType(value, known->type)) {
      layer.Refuse(key, "must be " + std::string(TypeName(known->type)) + "; got " +
                            std::string(value.type_name()));
    } else if (value.is_boolean()) {
      layer.Offer(key, value.get<bool>());
    } else if (value.is_array()) {
      layer.Offer(key, value.get<std::vector<std::string>>());
    } else if (value.is_string()) {
      layer.Offer(key, value.get<std::string>());
    } else if (value.is_number_unsigned()) {
      // Beyond every range a setting has: held at the largest int64 rather than wrapped.
      const auto number = value.get<std::uint64_t>();
      layer.Offer(key, static_cast<std::int64_t>(std::min<std::uint64_t>(number, INT64_MAX)));
    } else {
      layer.Offer(key, value.get<std::int64_t>());
    }
  }
  return layer;
}

std::optional<SettingsLayer> ReadSettingsFile(const SettingsPath& path, std::string source,
                                              bool mustExist) {
  SettingsLayer layer{std::move(source), {}, {}};
  const SettingsFileOpening opened = OpenSettingsFile(path);
  switch (opened.found) {
    case SettingsFileOpening::Found::Nothing:
      if (!mustExist) return std::nullopt;
      layer.Refuse("", "no such file");
      return layer;
    case SettingsFileOpening::Found::Folder:
      layer.Refuse("", "is a folder, not a file");
      return layer;
    case SettingsFileOpening::Found::Unreadable:
      layer.Refuse("", "cannot be read" + (opened.reason.empty() ? "" : ": " + opened.reason));
      return layer;
    case SettingsFileOpening::Found::File:
      break;
  }
  // Read one byte past the limit rather than trust the size, which a device or pipe lacks.
  std::string text(MaxSettingsFileSize + 1, '\0');
  text.resize(std::fread(text.data(), 1, text.size(), opened.file.get()));
  if (std::ferror(opened.file.get())) {
    layer.Refuse("", "cannot be read");
    return layer;
  }
  if (text.size() > MaxSettingsFileSize) {
    layer.Refuse("", "larger than 1 MiB");
    return layer;
  }
  return ParseSettingsText(text, layer.source);
}
