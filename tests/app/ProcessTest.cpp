#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/win32/ChildProcess.h"
#include "tests/support/win32/EmulationRegistry.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;

// Waits for the program's first message box, reads it and presses its button.
SeenMessageBox WaitForMessageBox(const ChildProcess& program) {
  std::vector<SeenMessageBox> boxes;
  const bool seen = PumpUntil(
      [&] {
        boxes = CloseMessageBoxesOf(program.Id());
        return !boxes.empty();
      },
      std::chrono::seconds(20));
  if (!seen) {
    ADD_FAILURE() << "the program showed no message box";
    return {};
  }
  return boxes.front();
}

TEST(Process, ClosingTheMainWindowEndsTheProgramWithCodeZero) {
  ChildProcess program(PROGRAM_PATH);
  HWND form = program.WaitForWindow(L"TForm12");
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(IsZoomed(form));
  EXPECT_EQ(TextOf(form), L"Form12");
  PostMessageW(form, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Process, EveryStartWritesTheEmulationValueUnderItsOwnFileName) {
  DeleteEmulationKey();
  {
    ChildProcess program(PROGRAM_PATH);
    ASSERT_NE(program.WaitForWindow(L"TForm12"), nullptr);
    PostMessageW(program.WaitForWindow(L"TForm12"), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
  }
  EXPECT_EQ(ReadEmulationValue(L"Duvuzezera_WebMobWinClient.exe"), 11001u);

  // A copy under another name gets a value of its own, in the letter case of its path.
  wchar_t folder[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
  const std::wstring copy = std::wstring(folder) + L"Kiosk Copy.EXE";
  ASSERT_TRUE(CopyFileW(PROGRAM_PATH, copy.c_str(), FALSE));
  {
    ChildProcess program(copy);
    HWND form = program.WaitForWindow(L"TForm12");
    ASSERT_NE(form, nullptr);
    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
  }
  DeleteFileW(copy.c_str());
  EXPECT_EQ(ReadEmulationValue(L"Kiosk Copy.EXE"), 11001u);
  EXPECT_EQ(ReadEmulationValue(L"Duvuzezera_WebMobWinClient.exe"), 11001u);
}

TEST(Process, EndOfTheSessionEndsTheProgramAtOnceWithCodeZero) {
  ChildProcess program(PROGRAM_PATH);
  HWND form = program.WaitForWindow(L"TForm12");
  ASSERT_NE(form, nullptr);
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(form, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                  5000, &answer));
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
  PostMessageW(form, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Process, TheAppBarsCloseIconEndsTheProgramWithCodeZero) {
  ChildProcess program(PROGRAM_PATH);
  HWND form = program.WaitForWindow(L"TForm12");
  ASSERT_NE(form, nullptr);
  SetForegroundWindow(form);
  PumpFor(std::chrono::milliseconds(300));
  PressKey(VK_ESCAPE);  // the focus is on the browser's frame, which key preview covers
  HWND icon = FindDescendant(form, L"TImage");
  ASSERT_NE(icon, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(icon) != FALSE; }, std::chrono::seconds(5)));
  ClickAt(CentreOf(icon));
  EXPECT_EQ(program.WaitForExit(std::chrono::seconds(10)), 0u);
}

TEST(Process, AShortcutSetToRunMinimizedStartsMinimizedAndRestoresMaximized) {
  ChildProcess program(PROGRAM_PATH, SW_SHOWMINNOACTIVE);
  HWND form = program.WaitForWindow(L"TForm12");
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(IsIconic(form));
  ShowWindow(form, SW_RESTORE);
  PumpFor(std::chrono::milliseconds(300));
  EXPECT_TRUE(IsZoomed(form));
  PostMessageW(form, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Process, OtherShowCommandsChangeNothing) {
  ChildProcess program(PROGRAM_PATH, SW_SHOWNORMAL);
  HWND form = program.WaitForWindow(L"TForm12");
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(IsZoomed(form));
  PostMessageW(form, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Process, AMissingStyleIsReportedOnceAndTheProgramGoesOnUnstyled) {
  ChildProcess program(NO_STYLE_PROGRAM_PATH);
  const SeenMessageBox box = WaitForMessageBox(program);
  EXPECT_EQ(box.title, L"Error");
  EXPECT_EQ(box.text, L"Style 'Metropolis UI Dark' not found");
  EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"&Close"});
  const int centreX = (box.bounds.left + box.bounds.right) / 2;
  const int centreY = (box.bounds.top + box.bounds.bottom) / 2;
  EXPECT_NEAR(centreX, GetSystemMetrics(SM_CXSCREEN) / 2, 2) << "centred on the screen";
  EXPECT_NEAR(centreY, GetSystemMetrics(SM_CYSCREEN) / 2, 30);

  HWND form = program.WaitForWindow(L"TForm12");
  ASSERT_NE(form, nullptr) << "start-up goes on after the dialog";
  PumpFor(std::chrono::milliseconds(500));
  EXPECT_TRUE(CloseMessageBoxesOf(program.Id()).empty()) << "the dialog comes once";
  PostMessageW(form, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

struct StartUpFailure {
  const wchar_t* program;
  const wchar_t* textStart;
  const wchar_t* message;  // after the first line
  friend void PrintTo(const StartUpFailure& c, std::ostream* out) {
    *out << testing::PrintToString(c.program);
  }
};

class StartUpFailures : public testing::TestWithParam<StartUpFailure> {};

TEST_P(StartUpFailures, ShowTheApplicationErrorBoxAndEndWithCodeOne) {
  ChildProcess program(GetParam().program);
  const SeenMessageBox box = WaitForMessageBox(program);
  EXPECT_EQ(box.title, L"Application Error");
  EXPECT_EQ(box.text.rfind(GetParam().textStart, 0), 0u) << box.text;
  EXPECT_EQ(box.text.substr(std::min(box.text.find(L".\n"), box.text.size())), GetParam().message)
      << box.text;
  EXPECT_EQ(program.WaitForExit(), 1u);
}

// Both messages end in a quote, which sorts before ".": no full stop is added.
INSTANTIATE_TEST_SUITE_P(
    Process, StartUpFailures,
    testing::Values(
        StartUpFailure{BROKEN_PROGRAM_PATH,
                       L"Exception ELayoutError in module Duvuzezera_BrokenLayout.exe at ",
                       L".\nTFORM12: Form12.OnResize: unknown handler 'FormResized'"},
        StartUpFailure{BAD_STYLE_PROGRAM_PATH,
                       L"Exception EStyleError in module Duvuzezera_BadStyle.exe at ",
                       L".\nUnable to load style 'METROPOLISUIDARK'"}),
    [](const testing::TestParamInfo<StartUpFailure>& info) {
      return info.index == 0 ? std::string("BrokenLayout") : std::string("UnreadableStyle");
    });

}  // namespace
