#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "settings/SettingKeys.h"

namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::set<std::string> Captures(const std::string& text, const std::string& pattern) {
  std::set<std::string> found;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
       ++it) {
    found.insert((*it)[1]);
  }
  return found;
}

const std::string kFolder = POLICIES_FOLDER;

// Group Policy offers exactly the program's settings: a value the program does not know
// would be refused at every start, a key without a policy could not be set centrally.
TEST(PolicyTemplate, OffersEverySettingAndNothingElse) {
  std::set<std::string> keys;
  for (const SettingKey& key : SettingKeys()) keys.insert(std::string(key.name));
  EXPECT_EQ(Captures(Read(kFolder + "/Duvuzezera.admx"), "valueName=\"([^\"]+)\""), keys);
}

// Each text and presentation the template names exists in each language.
TEST(PolicyTemplate, EachLanguageDefinesWhatTheTemplateNames) {
  const std::string admx = Read(kFolder + "/Duvuzezera.admx");
  const std::set<std::string> strings = Captures(admx, R"(\$\(string\.([A-Za-z0-9_]+)\))");
  const std::set<std::string> presentations =
      Captures(admx, R"(\$\(presentation\.([A-Za-z0-9_]+)\))");
  for (const char* language : {"en-US", "ru-RU"}) {
    const std::string adml = Read(kFolder + "/" + language + "/Duvuzezera.adml");
    EXPECT_EQ(Captures(adml, R"re(<string id="([^"]+)")re"), strings) << language;
    EXPECT_EQ(Captures(adml, R"re(<presentation id="([^"]+)")re"), presentations) << language;
  }
}

}  // namespace
