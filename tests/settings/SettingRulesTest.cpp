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

// A flag comes as true or false from a file, and as a policy's string or REG_DWORD 0 or 1.
TEST(SettingRules, AFlagIsTrueOrFalse) {
  struct Case {
    SettingValue offered;
    bool asText;
    std::optional<bool> taken;
  };
  const Case cases[] = {
      {true, false, true},
      {false, false, false},
      {std::int64_t{1}, false, true},
      {std::int64_t{0}, false, false},
      {std::int64_t{2}, false, {}},
      {std::string("true"), true, true},
      {std::string("false"), true, false},
      {std::string("1"), true, true},
      {std::string("0"), true, false},
      {std::string("yes"), true, {}},
      {std::string("true"), false, {}},
  };
  for (const Case& c : cases) {
    SettingsLayer layer{"test", {}, {}};
    if (c.asText)
      layer.OfferText("onScreenKeyboard", std::get<std::string>(c.offered));
    else
      layer.Offer("onScreenKeyboard", c.offered);
    const std::string what = DisplayValue(c.offered) + (c.asText ? " as text" : "");
    if (c.taken) {
      ASSERT_TRUE(layer.values.contains("onScreenKeyboard")) << what;
      EXPECT_EQ(std::get<bool>(layer.values.at("onScreenKeyboard")), *c.taken) << what;
    } else {
      EXPECT_FALSE(layer.values.contains("onScreenKeyboard")) << what;
      ASSERT_EQ(layer.problems.size(), 1u) << what;
      EXPECT_NE(layer.problems[0].reason.find("must be true or false"), std::string::npos)
          << layer.problems[0].reason;
    }
  }
}

}  // namespace
