#include <gtest/gtest.h>

#include "framework/core/WindowAccelerators.h"

namespace {

struct Case {
  const char* name;
  std::uint16_t key;
  fw::TShiftState shift;
  bool swallowed;
};

TEST(WindowAccelerators, OnlyTheEngineWindowKeysAreCaught) {
  const Case cases[] = {
      {"Ctrl+N", 'N', fw::ssCtrl, true},
      {"Ctrl+O", 'O', fw::ssCtrl, true},
      {"Ctrl+S", 'S', fw::ssCtrl, true},
      {"Ctrl+P", 'P', fw::ssCtrl, true},
      {"Ctrl+F", 'F', fw::ssCtrl, true},
      {"Ctrl+Shift+P", 'P', fw::ssCtrl | fw::ssShift, true},
      {"F11", 0x7A, 0, true},
      {"Shift+F11", 0x7A, fw::ssShift, true},
      {"N alone types a letter", 'N', 0, false},
      {"Shift+P types a letter", 'P', fw::ssShift, false},
      {"AltGr+S (Ctrl+Alt) types a character", 'S', fw::ssCtrl | fw::ssAlt, false},
      {"Ctrl+C copies", 'C', fw::ssCtrl, false},
      {"Ctrl+V pastes", 'V', fw::ssCtrl, false},
      {"Ctrl+A selects", 'A', fw::ssCtrl, false},
      {"F5 reloads", 0x74, 0, false},
      {"F12", 0x7B, 0, false},
      {"Escape", 27, 0, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(fw::OpensEngineWindow(c.key, c.shift), c.swallowed) << c.name;
}

}  // namespace
