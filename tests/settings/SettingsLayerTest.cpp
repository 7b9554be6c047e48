#include <gtest/gtest.h>

#include <vector>

#include "settings/SettingsLayer.h"

namespace {

SettingsLayer Layer(std::string source, std::map<std::string, SettingValue, std::less<>> values) {
  return {std::move(source), std::move(values), {}};
}

const SettingsLayer kBuiltIn = Layer("built-in", {{"clinicHost", "built.example"},
                                                  {"siteDomain", "site.example"},
                                                  {"siteWwwHost", "www.site.example"},
                                                  {"overviewVideo", "video"},
                                                  {"playlist", "list"},
                                                  {"idleResetSeconds", std::int64_t{0}},
                                                  {"idleWarningSeconds", std::int64_t{10}},
                                                  {"retrySeconds", std::int64_t{0}},
                                                  {"hideCursor", false},
                                                  {"lockdown", false},
                                                  {"allowedHosts", std::vector<std::string>{}},
                                                  {"onScreenKeyboard", true},
                                                  {"exitCode", std::string()},
                                                  {"metricsFile", std::string()},
                                                  {"displayOffSeconds", std::int64_t{0}},
                                                  {"displayHours", std::string()},
                                                  {"memoryLimitMiB", std::int64_t{0}}});

struct PrecedenceCase {
  const char* what;
  std::vector<SettingsLayer> highestFirst;
  std::string clinicFrom;  // the source of clinicHost in effect
  std::string clinicHost;
};

// The layers as each platform stacks them: Windows HKLM, HKCU, then the file; Linux the
// administrator's file, then the user's (or the --config file alone).
TEST(SettingsPrecedence, EachKeyComesFromTheHighestSourceThatHoldsIt) {
  const std::vector<PrecedenceCase> cases{
      {"nothing given", {}, "built-in", "built.example"},
      {"only the user's file",
       {Layer("/etc/k.json", {}), Layer("/home/k.json", {{"clinicHost", "user.example"}})},
       "/home/k.json",
       "user.example"},
      {"the system file over the user's",
       {Layer("/etc/k.json", {{"clinicHost", "system.example"}}),
        Layer("/home/k.json", {{"clinicHost", "user.example"}})},
       "/etc/k.json",
       "system.example"},
      {"HKLM over HKCU over the file",
       {Layer("HKLM", {{"clinicHost", "machine.example"}}),
        Layer("HKCU", {{"clinicHost", "user.example"}}),
        Layer("kiosk.json", {{"clinicHost", "file.example"}})},
       "HKLM",
       "machine.example"},
      {"HKCU over the file",
       {Layer("HKLM", {{"playlist", "other"}}), Layer("HKCU", {{"clinicHost", "user.example"}}),
        Layer("kiosk.json", {{"clinicHost", "file.example"}})},
       "HKCU",
       "user.example"},
  };
  for (const PrecedenceCase& c : cases) {
    const EffectiveSettings effective = ResolveSettings(c.highestFirst, kBuiltIn);
    ASSERT_EQ(effective.settings.size(), SettingKeys().size()) << c.what;
    EXPECT_EQ(effective.settings[0].key, "clinicHost");
    EXPECT_EQ(effective.settings[0].source, c.clinicFrom) << c.what;
    EXPECT_EQ(effective.Text("clinicHost"), c.clinicHost) << c.what;
    EXPECT_EQ(effective.settings[1].source, "built-in") << c.what;
  }
}

// A refused value leaves the key to the next source, and its problem is kept.
TEST(SettingsPrecedence, ARefusedValueFallsThroughAndIsReported) {
  SettingsLayer machine = Layer("HKLM", {});
  machine.OfferText("idleResetSeconds", "5");
  machine.OfferText("clinicHost", "machine.example");
  const SettingsLayer file = Layer("kiosk.json", {{"idleResetSeconds", std::int64_t{120}}});
  const EffectiveSettings effective = ResolveSettings(std::vector{machine, file}, kBuiltIn);
  EXPECT_EQ(effective.WholeNumber("idleResetSeconds"), 120);
  EXPECT_EQ(effective.Text("clinicHost"), "machine.example");
  ASSERT_EQ(effective.problems.size(), 1u);
  EXPECT_EQ(effective.problems[0].Describe(),
            "HKLM: idleResetSeconds: must be 0 (off) or a whole number from 30 to 86400; got 5");
}

// The warning is at most the second half of the idle time; past that the built-in one counts.
TEST(SettingsAcrossKeys, AWarningLongerThanHalfTheResetIsRefused) {
  struct Case {
    std::int64_t reset, warning, effective;
    const char* problem;  // empty: none
  };
  const std::vector<Case> cases{
      {120, 60, 60, ""},
      {120, 0, 0, ""},
      {0, 500, 500, ""},  // no reset, nothing to warn of
      {120, 61, 10,
       "kiosk.json: idleWarningSeconds: must be at most half of idleResetSeconds (120), got 61"},
  };
  for (const Case& c : cases) {
    const SettingsLayer file =
        Layer("kiosk.json", {{"idleResetSeconds", c.reset}, {"idleWarningSeconds", c.warning}});
    const EffectiveSettings effective = ResolveSettings(std::vector{file}, kBuiltIn);
    EXPECT_EQ(effective.WholeNumber("idleWarningSeconds"), c.effective) << c.warning;
    if (*c.problem) {
      ASSERT_EQ(effective.problems.size(), 1u);
      EXPECT_EQ(effective.problems[0].Describe(), c.problem);
    } else {
      EXPECT_TRUE(effective.problems.empty()) << c.warning;
    }
  }
}

// A value of another type than its key's is refused, whatever the source.
TEST(SettingsLayer, AValueOfAnotherTypeIsRefused) {
  SettingsLayer layer{"HKLM", {}, {}};
  layer.Offer("hideCursor", std::int64_t{1});
  layer.Offer("idleResetSeconds", true);
  EXPECT_TRUE(layer.values.empty());
  ASSERT_EQ(layer.problems.size(), 2u);
  EXPECT_EQ(layer.problems[0].Describe(), "HKLM: hideCursor: must be true or false");
  EXPECT_EQ(layer.problems[1].Describe(), "HKLM: idleResetSeconds: must be a whole number");
}

}  // namespace
