#include <gtest/gtest.h>

#include "framework/core/Exceptions.h"
#include "framework/core/Messages.h"
#include "framework/core/Utf8.h"

namespace fw {
namespace {

struct FullStopCase {
  const char* message;
  const char* expected;
  friend void PrintTo(const FullStopCase& c, std::ostream* out) { *out << '"' << c.message << '"'; }
};

class FullStopRule : public testing::TestWithParam<FullStopCase> {};

TEST_P(FullStopRule, AppendsOnlyAfterCharactersSortingAfterFullStop) {
  EXPECT_EQ(WithClosingFullStop(GetParam().message), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, FullStopRule,
    testing::Values(FullStopCase{"", ""}, FullStopCase{"Failed", "Failed."},
                    FullStopCase{"Code 5", "Code 5."}, FullStopCase{"Done.", "Done."},
                    FullStopCase{"Stop!", "Stop!"}, FullStopCase{"(see log)", "(see log)"},
                    FullStopCase{"trailing ", "trailing "}, FullStopCase{"slash/", "slash/."},
                    FullStopCase{"Ошибка", "Ошибка."}, FullStopCase{"comma,", "comma,"}));

TEST(Messages, LastCodePointDecodesMultiByteAndFlagsBrokenEndings) {
  EXPECT_EQ(LastCodePoint("abc"), U'c');
  EXPECT_EQ(LastCodePoint("Кабинет"), U'т');
  EXPECT_EQ(LastCodePoint("x\xF0\x9F\x98\x80"), U'\U0001F600');
  EXPECT_EQ(LastCodePoint("x\xD0"), 0xFFFDu);  // lead byte without its continuation
  EXPECT_EQ(LastCodePoint("\x80"), 0xFFFDu);
  EXPECT_EQ(LastCodePoint("x\xC0\xAE"), 0xFFFDu);         // '.' in an overlong form
  EXPECT_EQ(LastCodePoint("\xED\xA0\x80"), 0xFFFDu);      // a surrogate
  EXPECT_EQ(LastCodePoint("\xF4\x90\x80\x80"), 0xFFFDu);  // past U+10FFFF
}

TEST(Messages, ApplicationErrorTextNamesTypeModuleAddressAndMessage) {
  const void* address = reinterpret_cast<const void*>(std::uintptr_t{0x4A2F10});
  EXPECT_EQ(ApplicationErrorText("ELayoutError", "app.exe", address, "Bad layout"),
            "Exception ELayoutError in module app.exe at 00000000004A2F10.\nBad layout.");
  EXPECT_EQ(ApplicationErrorText("Exception", "app.exe", nullptr, "Already closed."),
            "Exception Exception in module app.exe at 0000000000000000.\nAlready closed.");
}

TEST(Messages, ExceptionTypeNamesAndAddresses) {
  try {
    throw ELayoutError("x");
  } catch (const std::exception& e) {
    EXPECT_EQ(ExceptionTypeName(e), "ELayoutError");
    EXPECT_NE(ExceptionAddress(e), nullptr);
  }
  const std::runtime_error plain("y");
  EXPECT_EQ(ExceptionTypeName(plain), "Exception");
  EXPECT_EQ(ExceptionAddress(plain), nullptr);
  EXPECT_EQ(StyleNotFoundText("Metropolis UI Dark"), "Style 'Metropolis UI Dark' not found");
}

}  // namespace
}  // namespace fw
