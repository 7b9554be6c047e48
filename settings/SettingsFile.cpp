#include "settings/SettingsFile.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <nlohmann/json.hpp>
#include <system_error>

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
    case SettingType::Boolean:
      return value.is_boolean();
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

std::optional<SettingsLayer> ReadSettingsFile(const std::filesystem::path& path, std::string source,
                                              bool mustExist) {
  SettingsLayer layer{std::move(source), {}, {}};
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    if (!mustExist) return std::nullopt;
    layer.Refuse("", "no such file");
    return layer;
  }
  if (error) {
    layer.Refuse("", "cannot be read: " + error.message());
    return layer;
  }
  if (std::filesystem::is_directory(status)) {
    layer.Refuse("", "is a folder, not a file");
    return layer;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    layer.Refuse("", "cannot be read");
    return layer;
  }
  // Read one byte past the limit rather than trust the size, which a device or pipe lacks.
  std::string text(MaxSettingsFileSize + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) {
    layer.Refuse("", "cannot be read");
    return layer;
  }
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (text.size() > MaxSettingsFileSize) {
    layer.Refuse("", "larger than 1 MiB");
    return layer;
  }
  SettingsLayer parsed = ParseSettingsText(text, layer.source);
  return parsed;
}
