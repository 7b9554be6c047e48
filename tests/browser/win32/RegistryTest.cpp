#include <windows.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include "browser/u_LibIEInit.h"
#include "framework/win32/SystemInfo.h"
#include "tests/support/win32/EmulationRegistry.h"

namespace {

using namespace testing_win32;
using u_LibIEInit::setEmbeddedWebbrowserMode;
using u_LibIEInit::TIEMode;

// Each test starts without the key and leaves none behind.
class EmulationRegistry : public testing::Test {
 protected:
  void SetUp() override { DeleteEmulationKey(); }
  void TearDown() override { DeleteEmulationKey(); }
};

TEST_F(EmulationRegistry, CreatesTheKeyAndWritesUnderTheExecutableName) {
  ASSERT_FALSE(EmulationKeyExists());
  EXPECT_TRUE(setEmbeddedWebbrowserMode(TIEMode::iemIE11, ""));
  EXPECT_EQ(ReadEmulationValue(fw::win32::ExecutableFileName()), 11001u);
  EXPECT_EQ(fw::win32::ExecutableFileName(), L"browser_win32_tests.exe");
}

TEST_F(EmulationRegistry, OverwritesAnEarlierValueAndMapsUnknownOrdinalsToIE11) {
  ASSERT_TRUE(setEmbeddedWebbrowserMode(TIEMode::iemIE7, "kiosk.exe"));
  EXPECT_EQ(ReadEmulationValue(L"kiosk.exe"), 7000u);
  EXPECT_TRUE(setEmbeddedWebbrowserMode(TIEMode::iemIE11, "kiosk.exe"));
  EXPECT_EQ(ReadEmulationValue(L"kiosk.exe"), 11001u);
  EXPECT_TRUE(setEmbeddedWebbrowserMode(static_cast<TIEMode>(7), "seven.exe"));
  EXPECT_EQ(ReadEmulationValue(L"seven.exe"), 11001u);
}

TEST_F(EmulationRegistry, UnknownModeLeavesAnAbsentKeyAbsent) {
  EXPECT_FALSE(setEmbeddedWebbrowserMode(TIEMode::iemUnknown, ""));
  EXPECT_FALSE(EmulationKeyExists());
}

TEST_F(EmulationRegistry, ANameWithPathCharactersIsUsedVerbatim) {
  EXPECT_TRUE(setEmbeddedWebbrowserMode(TIEMode::iemIE9, "C:\\Kiosk\\Кабинет.exe"));
  EXPECT_EQ(ReadEmulationValue(L"C:\\Kiosk\\Кабинет.exe"), 9999u);
  EXPECT_FALSE(ReadEmulationValue(L"Кабинет.exe").has_value());
}

TEST_F(EmulationRegistry, ARefusedKeyGivesFalseAndNoException) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kEmulationKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  // Everyone may read, nobody may write values.
  PSECURITY_DESCRIPTOR denied = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"D:(D;;0x2;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1, &denied, nullptr));
  ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, denied), ERROR_SUCCESS);
  LocalFree(denied);

  bool result = true;
  EXPECT_NO_THROW(result = setEmbeddedWebbrowserMode(TIEMode::iemIE11, "refused.exe"));
  EXPECT_FALSE(result);
  EXPECT_FALSE(ReadEmulationValue(L"refused.exe").has_value());

  PSECURITY_DESCRIPTOR open = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"D:(A;;KA;;;WD)", SDDL_REVISION_1, &open, nullptr));
  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, open);
  LocalFree(open);
  RegCloseKey(key);
}

}  // namespace
