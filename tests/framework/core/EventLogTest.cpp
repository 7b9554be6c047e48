#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "framework/core/EventLog.h"

namespace {

TEST(EventLog, TheDetailTakesThePlaceOfItsMarker) {
  EXPECT_EQ(fw::EventLine(fw::TEvent::PageFailed, "timeout, host clinic.test"),
            "A page could not be loaded: timeout, host clinic.test");
  EXPECT_EQ(fw::EventLine(fw::TEvent::Exited, ""), "The program ends: ");
}

// Windows shows the executable's message table, not the program's text: the two must say the
// same, under the same ids and types, or Event Viewer shows another event's words.
TEST(EventLog, TheMessageTableMatchesTheCatalogue) {
  std::ifstream file(EVENT_MESSAGES);
  ASSERT_TRUE(file) << EVENT_MESSAGES;
  std::stringstream text;
  text << file.rdbuf();
  const std::string source = text.str();
  const std::regex entry(
      R"(MessageId=(\d+)\s+Severity=(\w+)\s+SymbolicName=(\w+)\s+Language=English\s+(.*?)\s*\n\.)");
  std::map<int, std::string> found;
  for (std::sregex_iterator it(source.begin(), source.end(), entry), end; it != end; ++it) {
    found[std::stoi((*it)[1])] = (*it)[2].str() + " " + (*it)[3].str() + " " + (*it)[4].str();
  }
  std::set<int> ids;
  for (const fw::TEventText& event : fw::EventCatalogue()) {
    const int id = static_cast<int>(event.Event);
    EXPECT_TRUE(ids.insert(id).second) << "id " << id << " twice";
    const char* severity = event.Severity == fw::TSeverity::Error     ? "Error"
                           : event.Severity == fw::TSeverity::Warning ? "Warning"
                                                                      : "Informational";
    EXPECT_EQ(found[id], std::string(severity) + " " + std::string(event.Symbol) + " " +
                             std::string(event.Text))
        << "id " << id;
  }
  EXPECT_EQ(found.size(), ids.size());
}

}  // namespace
