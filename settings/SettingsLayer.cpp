#include "settings/SettingsLayer.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

std::string SettingProblem::Describe() const {
  return source + ": " + (key.empty() ? "" : key + ": ") + reason;
}

void SettingsLayer::Refuse(std::string_view key, std::string reason) {
  problems.push_back({source, std::string(key), std::move(reason)});
}

void SettingsLayer::Offer(std::string_view key, const SettingValue& value) {
  const SettingKey* known = FindSettingKey(key);
  if (!known) {
    std::string names;
    for (const SettingKey& k : SettingKeys())
      names += (names.empty() ? "" : ", ") + std::string(k.name);
    Refuse(key, "unknown key; the keys are " + names);
    return;
  }
  if (value.index() != static_cast<std::size_t>(known->type)) {
    Refuse(key, "must be " + std::string(TypeName(known->type)));
    return;
  }
  if (std::string reason = known->refuse(value); !reason.empty()) {
    Refuse(key,
           known->secret ? std::move(reason) : std::move(reason) + "; got " + DisplayValue(value));
    return;
  }
  values.insert_or_assign(std::string(key), value);
}

void SettingsLayer::OfferText(std::string_view key, std::string_view text) {
  const SettingKey* known = FindSettingKey(key);
  if (!known || known->type == SettingType::Text) {
    Offer(key, std::string(text));
    return;
  }
  if (known->type == SettingType::Switch) {
    if (text == "true" || text == "1" || text == "false" || text == "0") {
      Offer(key, text == "true" || text == "1");
    } else {
      Refuse(key, "must be true or false (or 1 or 0); got " + DisplayValue(std::string(text)));
    }
    return;
  }
  if (known->type == SettingType::TextList) {
    std::vector<std::string> entries;
    for (std::size_t start = 0; start <= text.size();) {
      const std::size_t comma = std::min(text.find(',', start), text.size());
      std::string_view entry = text.substr(start, comma - start);
      while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
      while (!entry.empty() && entry.back() == ' ') entry.remove_suffix(1);
      if (!entry.empty()) entries.emplace_back(entry);
      start = comma + 1;
    }
    Offer(key, std::move(entries));
    return;
  }
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  const bool digitsOnly = !text.empty() && text.front() != '-' && text.front() != '+';
  if (!digitsOnly || error != std::errc() || end != text.data() + text.size()) {
    Refuse(key, "must be " + std::string(TypeName(known->type)) + "; got " +
                    DisplayValue(std::string(text)));
    return;
  }
  Offer(key, number);
}

void SettingsLayer::OfferNumber(std::string_view key, std::int64_t number) {
  const SettingKey* known = FindSettingKey(key);
  if (known && known->type == SettingType::Switch && (number == 0 || number == 1)) {
    Offer(key, number == 1);
    return;
  }
  if (known && known->type == SettingType::Switch) {
    Refuse(key, "must be 1 or 0; got " + std::to_string(number));
    return;
  }
  Offer(key, number);
}

const std::string& EffectiveSettings::Text(std::string_view key) const {
  for (const EffectiveSetting& s : settings) {
    if (s.key == key) return std::get<std::string>(s.value);
  }
  throw std::logic_error("no setting " + std::string(key));
}

std::int64_t EffectiveSettings::WholeNumber(std::string_view key) const {
  for (const EffectiveSetting& s : settings) {
    if (s.key == key) return std::get<std::int64_t>(s.value);
  }
  throw std::logic_error("no setting " + std::string(key));
}

bool EffectiveSettings::Switch(std::string_view key) const {
  for (const EffectiveSetting& s : settings) {
    if (s.key == key) return std::get<bool>(s.value);
  }
  throw std::logic_error("no setting " + std::string(key));
}

const std::vector<std::string>& EffectiveSettings::TextList(std::string_view key) const {
  for (const EffectiveSetting& s : settings) {
    if (s.key == key) return std::get<std::vector<std::string>>(s.value);
  }
  throw std::logic_error("no setting " + std::string(key));
}

EffectiveSettings ResolveSettings(std::span<const SettingsLayer> highestFirst,
                                  const SettingsLayer& builtIn) {
  EffectiveSettings effective;
  for (const SettingKey& key : SettingKeys()) {
    const SettingsLayer* from = &builtIn;
    for (const SettingsLayer& layer : highestFirst) {
      if (layer.values.contains(key.name)) {
        from = &layer;
        break;
      }
    }
    const auto found = from->values.find(key.name);
    if (found == from->values.end()) throw std::logic_error("no built-in " + std::string(key.name));
    effective.settings.push_back({std::string(key.name), found->second, from->source});
  }
  for (const SettingsLayer& layer : highestFirst) {
    effective.problems.insert(effective.problems.end(), layer.problems.begin(),
                              layer.problems.end());
  }
  RefuseAcrossKeys(effective, builtIn);
  return effective;
}

void RefuseAcrossKeys(EffectiveSettings& effective, const SettingsLayer& builtIn) {
  // The warning is part of the idle time: at most its second half.
  const std::int64_t reset = effective.WholeNumber("idleResetSeconds");
  for (EffectiveSetting& setting : effective.settings) {
    if (setting.key != "idleWarningSeconds" || setting.source == builtIn.source) continue;
    if (reset == 0 || std::get<std::int64_t>(setting.value) * 2 <= reset) continue;
    effective.problems.push_back({setting.source, setting.key,
                                  "must be at most half of idleResetSeconds (" +
                                      std::to_string(reset) + "), got " +
                                      DisplayValue(setting.value)});
    setting.value = builtIn.values.at("idleWarningSeconds");
    setting.source = builtIn.source;
  }
}
