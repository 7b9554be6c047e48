#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "settings/SettingsFile.h"
#include "settings/SettingsReport.h"

namespace {

std::vector<std::string> Problems(const SettingsLayer& layer) {
  std::vector<std::string> out;
  for (const SettingProblem& p : layer.problems) out.push_back(p.Describe());
  return out;
}

struct FileCase {
  const char* text;
  std::vector<std::string> taken;  // keys in the layer
  std::vector<std::string> problems;
};

// Every valid key is used; each refused one is named with why.
TEST(SettingsFile, TakesEveryValidKeyAndNamesEachRefusedOne) {
  const std::vector<FileCase> cases{
      {R"({})", {}, {}},
      {R"({"clinicHost": "c.example", "idleResetSeconds": 120})",
       {"clinicHost", "idleResetSeconds"},
       {}},
      {R"({"clinicHost": "c.example", "clinichost": "x", "playlist": 7, "idleResetSeconds": 5})",
       {"clinicHost"},
       {"k.json: clinichost: unknown key; the keys are clinicHost, siteDomain, siteWwwHost, "
        "overviewVideo, playlist, idleResetSeconds, idleWarningSeconds, retrySeconds, "
        "hideCursor, lockdown, allowedHosts, onScreenKeyboard, exitCode, metricsFile, "
        "displayOffSeconds, displayHours, memoryLimitMiB",
        "k.json: idleResetSeconds: must be 0 (off) or a whole number from 30 to 86400; got 5",
        "k.json: playlist: must be a string; got number"}},
      {R"({"idleResetSeconds": 120.0, "siteDomain": null, "overviewVideo": ["a"]})",
       {},
       {"k.json: idleResetSeconds: must be a whole number; got number",
        "k.json: overviewVideo: must be a string; got array",
        "k.json: siteDomain: must be a string; got null"}},
      {R"({"idleResetSeconds": "120", "clinicHost": true})",
       {},
       {"k.json: clinicHost: must be a string; got boolean",
        "k.json: idleResetSeconds: must be a whole number; got string"}},
      {R"({"idleResetSeconds": 18446744073709551615, "clinicHost": "a b"})",
       {},
       {"k.json: clinicHost: must be a host name, optionally with :port; got \"a b\"",
        "k.json: idleResetSeconds: must be 0 (off) or a whole number from 30 to 86400; got "
        "9223372036854775807"}},
      {R"({"hideCursor": true, "idleWarningSeconds": false})",
       {"hideCursor"},
       {"k.json: idleWarningSeconds: must be a whole number; got boolean"}},
      {R"({"hideCursor": "true"})", {}, {"k.json: hideCursor: must be true or false; got string"}},
      // the hours' error says where it is
      {R"({"displayHours": "Mo-Fr 07:30-20:00; Sa 9:00-14:00", "displayOffSeconds": 600})",
       {"displayOffSeconds"},
       {"k.json: displayHours: must be days and times such as \"Mo-Fr 07:30-20:00; Sa "
        "09:00-14:00\", or empty; at character 23: expected a time HH:MM from 00:00 to 24:00 "
        "after the days; got \"Mo-Fr 07:30-20:00; Sa 9:00-14:00\""}},
      {R"({"hideCursor": 1})", {}, {"k.json: hideCursor: must be true or false; got number"}},
      {R"({"lockdown": true, "allowedHosts": ["docs.example", "*.cdn.example"]})",
       {"allowedHosts", "lockdown"},
       {}},
      {R"({"lockdown": "true", "allowedHosts": "docs.example"})",
       {},
       {"k.json: allowedHosts: must be a list of strings; got string",
        "k.json: lockdown: must be true or false; got string"}},
      {R"({"lockdown": 1, "allowedHosts": ["docs.example", 7]})",
       {},
       {"k.json: allowedHosts: must be a list of strings; got array",
        "k.json: lockdown: must be true or false; got number"}},
      {R"({"allowedHosts": ["docs.example", "*.", "file:///etc"]})",
       {},
       {"k.json: allowedHosts: each entry must be a host name, optionally with :port, or *. and "
        "a domain name, not \"*.\"; got [\"docs.example\", \"*.\", \"file:///etc\"]"}},
      {R"({"onScreenKeyboard": false})", {"onScreenKeyboard"}, {}},
      {R"({"onScreenKeyboard": "false", "idleResetSeconds": true})",
       {},
       {"k.json: idleResetSeconds: must be a whole number; got boolean",
        "k.json: onScreenKeyboard: must be true or false; got string"}},
      {R"(["clinicHost"])",
       {},
       {"k.json: must be one JSON object ({\"clinicHost\": \"...\", ...})"}},
      {"clinicHost=c.example",
       {},
       {"k.json: not JSON: at line 1, column 1: syntax error while parsing value - invalid "
        "literal; last read: 'c'"}},
      {"",
       {},
       {"k.json: not JSON: at line 1, column 1: syntax error while parsing value - unexpected end "
        "of input; expected '[', '{', or a literal"}},
      {"{\"clinicHost\": \"\xff\"}",
       {},
       {"k.json: not JSON: at line 1, column 17: syntax error while parsing value - invalid "
        "string: ill-formed UTF-8 byte; last read: '\"?'"}},
  };
  for (const FileCase& c : cases) {
    const SettingsLayer layer = ParseSettingsText(c.text, "k.json");
    std::vector<std::string> taken;
    for (const auto& [key, value] : layer.values) taken.push_back(key);
    std::sort(taken.begin(), taken.end());
    std::vector<std::string> expected = c.taken;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(taken, expected) << c.text;
    EXPECT_EQ(Problems(layer), c.problems) << c.text;
  }
}

class SettingsFileOnDisk : public testing::Test {
 protected:
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("settings-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
       testing::UnitTest::GetInstance()->current_test_info()->name());
  void SetUp() override { std::filesystem::create_directories(folder); }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::filesystem::path Write(const std::string& name, const std::string& text) {
    std::ofstream(folder / name, std::ios::binary) << text;
    return folder / name;
  }
};

TEST_F(SettingsFileOnDisk, AMissingFileIsNoErrorUnlessItWasNamed) {
  EXPECT_FALSE(ReadSettingsFile(folder / "none.json", "none.json").has_value());
  const auto named = ReadSettingsFile(folder / "none.json", "none.json", true);
  ASSERT_TRUE(named.has_value());
  EXPECT_EQ(Problems(*named), std::vector<std::string>{"none.json: no such file"});
}

TEST_F(SettingsFileOnDisk, RefusesWhatIsNoSettingsFile) {
  const std::string padded =
      "{\"clinicHost\": \"c.example\"}" + std::string(MaxSettingsFileSize, ' ');
  struct Case {
    std::filesystem::path path;
    std::string problem;
  };
  const std::vector<Case> cases{
      {Write("exact.json", padded.substr(0, MaxSettingsFileSize)), ""},
      {Write("large.json", padded.substr(0, MaxSettingsFileSize + 1)), "f: larger than 1 MiB"},
      {folder, "f: is a folder, not a file"},
  };
  for (const Case& c : cases) {
    const auto layer = ReadSettingsFile(c.path, "f");
    ASSERT_TRUE(layer.has_value()) << c.path;
    EXPECT_EQ(Problems(*layer),
              c.problem.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.problem})
        << c.path;
    EXPECT_EQ(layer->values.contains("clinicHost"), c.problem.empty()) << c.path;
  }
}

const SettingsLayer kBuiltIn{"built-in",
                             {{"clinicHost", "b.example"},
                              {"siteDomain", "s.example"},
                              {"siteWwwHost", "www.s.example"},
                              {"overviewVideo", "v"},
                              {"playlist", "p"},
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
                              {"memoryLimitMiB", std::int64_t{1024}}},
                             {}};

TEST(SettingsReport, ListsEachSettingWithItsSourceThenEveryProblem) {
  SettingsLayer file = ParseSettingsText(
      R"({"clinicHost": "c.example:8080", "playlist": "a b", "lockdown": true,
          "allowedHosts": ["docs.example", "*.cdn.example"]})",
      "/k.json");
  const SettingsLayer& builtIn = kBuiltIn;
  const EffectiveSettings effective = ResolveSettings(std::vector{file}, builtIn);
  EXPECT_EQ(CheckConfigReport(effective),
            "Settings in effect:\n"
            "  clinicHost = \"c.example:8080\"  (/k.json)\n"
            "  siteDomain = \"s.example\"  (built-in)\n"
            "  siteWwwHost = \"www.s.example\"  (built-in)\n"
            "  overviewVideo = \"v\"  (built-in)\n"
            "  playlist = \"p\"  (built-in)\n"
            "  idleResetSeconds = 0  (built-in)\n"
            "  idleWarningSeconds = 10  (built-in)\n"
            "  retrySeconds = 0  (built-in)\n"
            "  hideCursor = false  (built-in)\n"
            "  lockdown = true  (/k.json)\n"
            "  allowedHosts = [\"docs.example\", \"*.cdn.example\"]  (/k.json)\n"
            "  onScreenKeyboard = true  (built-in)\n"
            "  exitCode = \"\"  (built-in)\n"
            "  metricsFile = \"\"  (built-in)\n"
            "  displayOffSeconds = 0  (built-in)\n"
            "  displayHours = \"\"  (built-in)\n"
            "  memoryLimitMiB = 1024  (built-in)\n"
            "Problems (the built-in default is used for each refused key):\n"
            "  /k.json: playlist: must be a YouTube identifier (letters, digits, - and _); got \"a "
            "b\"\n");
  EXPECT_EQ(CheckConfigReport(ResolveSettings({}, builtIn)).substr(0, 20), "Settings in effect:\n");
  EXPECT_NE(CheckConfigReport(ResolveSettings({}, builtIn)).find("\nNo problems.\n"),
            std::string::npos);
}

// The report and the message box may be read on the kiosk's screen: the code, or what was meant as
// one, is never in them.
TEST(SettingsReport, SaysWhetherAnExitCodeIsSetButNeverShowsIt) {
  const SettingsLayer set = ParseSettingsText(R"({"exitCode": "258046"})", "/set.json");
  const SettingsLayer broken = ParseSettingsText(R"({"exitCode": "25804a"})", "/broken.json");
  const EffectiveSettings effective = ResolveSettings(std::vector{broken, set}, kBuiltIn);
  EXPECT_EQ(effective.Text("exitCode"), "258046");
  const std::string report = CheckConfigReport(effective);
  const std::string message = SettingsProblemsMessage(effective);
  EXPECT_NE(report.find("\n  exitCode = (set, not shown)  (/set.json)\n"), std::string::npos)
      << report;
  EXPECT_NE(report.find("\n  /broken.json: exitCode: must be empty (no code) or 4 to 12 digits\n"),
            std::string::npos)
      << report;
  for (const std::string& text : {report, message}) {
    EXPECT_EQ(text.find("2580"), std::string::npos) << text;
  }
}

}  // namespace
