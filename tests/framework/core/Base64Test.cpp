#include <gtest/gtest.h>

#include <string>

#include "framework/core/Base64.h"

namespace fw {
namespace {

TEST(Base64, DecodesPaddedTextAndSkipsWhiteSpace) {
  auto text = [](const char* b64) {
    auto bytes = DecodeBase64(b64);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<error>");
  };
  EXPECT_EQ(text(""), "");
  EXPECT_EQ(text("TWFu"), "Man");
  EXPECT_EQ(text("TWE="), "Ma");
  EXPECT_EQ(text("TQ=="), "M");
  EXPECT_EQ(text("TW\nFu\r\n"), "Man");
}

TEST(Base64, RejectsMalformedText) {
  for (const char* bad : {"TWF", "TW=u", "T===", "TWF*", "TQ==TQ=="}) {
    EXPECT_FALSE(DecodeBase64(bad).has_value()) << bad;
  }
}

}  // namespace
}  // namespace fw
