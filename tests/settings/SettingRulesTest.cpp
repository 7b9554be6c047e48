#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

#include "settings/SettingsLayer.h"

namespace {

// The table the build's check runs too (tests/settings/CMakeLists.txt): a value the build
// refuses is refused at run time, and the other way round.
TEST(SettingRules, TheProgramDecidesAsTheBuildDoes) {
  std::ifstream table(SETTING_RULES);
  ASSERT_TRUE(table) << SETTING_RULES;
  int cases = 0;
  for (std::string row; std::getline(table, row);) {
    if (row.empty() || row.front() == '#') continue;
    const std::size_t first = row.find('|'), second = row.rfind('|');
    ASSERT_NE(first, second) << row;
    const std::string key = row.substr(0, first);
    const std::string value = row.substr(first + 1, second - first - 1);
    const bool accepted = row.substr(second + 1) == "accepted";
    SettingsLayer layer{"test", {}, {}};
    layer.OfferText(key, value);
    EXPECT_EQ(layer.values.contains(key), accepted) << row;
    EXPECT_EQ(layer.problems.size(), accepted ? 0u : 1u) << row;
    ++cases;
  }
  EXPECT_GT(cases, 0);
}

TEST(SettingRules, ANumberIsTakenAsItsValue) {
  SettingsLayer layer{"test", {}, {}};
  layer.OfferText("idleResetSeconds", "030");
  EXPECT_EQ(std::get<std::int64_t>(layer.values.at("idleResetSeconds")), 30);
}

// A policy's DWORD is a switch's 1 or 0; a registry string holds a list between commas.
TEST(SettingRules, ASwitchAndAListAreTakenAsTheirValues) {
  SettingsLayer layer{"test", {}, {}};
  layer.OfferNumber("lockdown", 1);
  layer.OfferText("allowedHosts", " docs.example ,, *.cdn.example,");
  EXPECT_EQ(std::get<bool>(layer.values.at("lockdown")), true);
  EXPECT_EQ(std::get<std::vector<std::string>>(layer.values.at("allowedHosts")),
            (std::vector<std::string>{"docs.example", "*.cdn.example"}));
  layer.OfferNumber("lockdown", 2);
  layer.OfferNumber("idleResetSeconds", 120);
  ASSERT_EQ(layer.problems.size(), 1u);
  EXPECT_EQ(layer.problems[0].Describe(), "test: lockdown: must be 1 or 0; got 2");
  EXPECT_EQ(std::get<std::int64_t>(layer.values.at("idleResetSeconds")), 120);
}

}  // namespace
