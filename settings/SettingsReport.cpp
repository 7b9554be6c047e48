#include "settings/SettingsReport.h"

std::string CheckConfigReport(const EffectiveSettings& settings) {
  std::string text = "Settings in effect:\n";
  for (const EffectiveSetting& s : settings.settings) {
    const SettingKey* key = FindSettingKey(s.key);
    text.append("  ").append(s.key).append(" = ");
    text.append(key ? DisplayValue(*key, s.value) : DisplayValue(s.value));
    text.append("  (").append(s.source).append(")\n");
  }
  if (settings.problems.empty()) return text.append("No problems.\n");
  text.append("Problems (the built-in default is used for each refused key):\n");
  for (const SettingProblem& p : settings.problems)
    text.append("  ").append(p.Describe()).append("\n");
  return text;
}

std::string SettingsProblemsMessage(const EffectiveSettings& settings) {
  std::string text = "Some settings could not be used; the built-in default stands in for each:\n";
  for (const SettingProblem& p : settings.problems) text.append("\n").append(p.Describe());
  return text;
}
