#include <gtest/gtest.h>

#include "settings/CommandLine.h"

namespace {

TEST(CommandLine, ReadsTheOptionsAndReportsWhatItDoesNotKnow) {
  struct Case {
    std::vector<std::string> arguments;
    std::optional<std::string> config;
    bool check, help;
    std::vector<std::string> problems;
  };
  const std::vector<Case> cases{
      {{}, std::nullopt, false, false, {}},
      {{"--config", "/k.json", "--check-config"}, "/k.json", true, false, {}},
      {{"--config=/a b.json"}, "/a b.json", false, false, {}},
      {{"--help"}, std::nullopt, false, true, {}},
      {{"--config"},
       std::nullopt,
       false,
       false,
       {"command line: --config: needs the settings file's path"}},
      {{"--kiosk", "-c"},
       std::nullopt,
       false,
       false,
       {"command line: unknown option \"--kiosk\" (--help lists the options)",
        "command line: unknown option \"-c\" (--help lists the options)"}},
  };
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(c.arguments);
    const std::string what = testing::PrintToString(c.arguments);
    EXPECT_EQ(line.configFile, c.config) << what;
    EXPECT_EQ(line.checkConfig, c.check) << what;
    EXPECT_EQ(line.help, c.help) << what;
    std::vector<std::string> problems;
    for (const SettingProblem& p : line.problems) problems.push_back(p.Describe());
    EXPECT_EQ(problems, c.problems) << what;
  }
}

}  // namespace
