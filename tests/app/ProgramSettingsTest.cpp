// The program as built, with its placeholder targets, given the clinic host only by the
// settings file in %ProgramData% or by the user's policy value: the loopback clinic sees the
// request. Only "Кабинет" is pressed; the other buttons lead to the placeholder hosts.
#include <windows.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/win32/Unicode.h"
#include "tests/support/win32/ChildProcess.h"
#include "tests/support/win32/LoopbackHttpServer.h"
#include "tests/support/win32/ScreenCapture.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;
using fw::win32::Narrow;
using fw::win32::Widen;

constexpr wchar_t kTitle[] = L"Кабинет Duvuzezera";
constexpr wchar_t kPolicies[] = L"SOFTWARE\\Policies";
constexpr wchar_t kPolicyKey[] = L"SOFTWARE\\Policies\\Duvuzezera\\WebMobClient";
const std::string kClinic = "127.0.0.1:" + std::to_string(CLINIC_PORT);
const std::string kPolicyPath = "HKEY_CURRENT_USER\\SOFTWARE\\Policies\\Duvuzezera\\WebMobClient";

std::wstring ProgramDataFolder() {
  wchar_t* found = nullptr;
  const HRESULT result = SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &found);
  const std::wstring folder = SUCCEEDED(result) ? found : L"";
  CoTaskMemFree(found);
  return folder;
}

// A settings file for as long as the object lives; it goes again with the folder it needed.
class SettingsFile {
 public:
  SettingsFile(std::wstring folder, const std::string& content) : folder_(std::move(folder)) {
    madeFolder_ = CreateDirectoryW(folder_.c_str(), nullptr) != FALSE;
    std::ofstream(std::filesystem::path(Path()), std::ios::binary) << content;
  }
  ~SettingsFile() {
    DeleteFileW(Path().c_str());
    if (madeFolder_) RemoveDirectoryW(folder_.c_str());
  }
  std::wstring Path() const { return folder_ + L"\\kiosk.json"; }

 private:
  std::wstring folder_;
  bool madeFolder_ = false;
};

// The place the program reads when the command line names no file.
SettingsFile MachineFile(const std::string& content) {
  return SettingsFile(ProgramDataFolder() + L"\\Duvuzezera", content);
}

// The user's (or, given HKEY_LOCAL_MACHINE, the machine's) policy values for as long as the
// object lives; the keys it made go with it.
class UserPolicies {
 public:
  explicit UserPolicies(HKEY hive = HKEY_CURRENT_USER) : hive_(hive) {
    HKEY existing = nullptr;
    madePolicies_ = RegOpenKeyExW(hive_, kPolicies, 0, KEY_READ, &existing) != 0;
    if (existing) RegCloseKey(existing);
    if (RegCreateKeyExW(hive_, kPolicyKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS)
      ADD_FAILURE() << "cannot create the policy key";
  }
  ~UserPolicies() {
    if (key_) RegCloseKey(key_);
    RegDeleteTreeW(hive_, L"SOFTWARE\\Policies\\Duvuzezera");
    RegDeleteKeyW(hive_, L"SOFTWARE\\Policies\\Duvuzezera");
    if (madePolicies_) RegDeleteKeyW(hive_, kPolicies);
  }
  UserPolicies(const UserPolicies&) = delete;
  UserPolicies& operator=(const UserPolicies&) = delete;
  void Set(const wchar_t* name, const std::wstring& text) {
    EXPECT_EQ(RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  void Remove(const wchar_t* name) { EXPECT_EQ(RegDeleteValueW(key_, name), ERROR_SUCCESS); }
  // Strings each ended by a null, the list by one more.
  void SetList(const wchar_t* name, const std::vector<std::wstring>& entries) {
    std::wstring data;
    for (const std::wstring& entry : entries) data += entry + L'\0';
    data += L'\0';
    EXPECT_EQ(
        RegSetValueExW(key_, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size() * sizeof(wchar_t))),
        ERROR_SUCCESS);
  }
  void Set(const wchar_t* name, DWORD number) {
    EXPECT_EQ(RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                             sizeof number),
              ERROR_SUCCESS);
  }

 private:
  HKEY hive_;
  HKEY key_ = nullptr;
  bool madePolicies_ = false;
};

HWND FindButton(HWND parent, const std::wstring& caption) {
  for (HWND child : ChildrenTopDown(parent)) {
    if (ClassOf(child) == L"TButton" && TextOf(child) == caption) return child;
    if (HWND inner = FindButton(child, caption)) return inner;
  }
  return nullptr;
}

// Presses "Кабинет" and waits for the clinic's first request; ends the program.
void ExpectTheClinicOpens(ChildProcess& program, const LoopbackHttpServer& clinic) {
  HWND form = program.WaitForWindow(L"TForm12");
  ASSERT_NE(form, nullptr) << "the program showed no window";
  HWND button = nullptr;
  ASSERT_TRUE(PumpUntil([&] {
    SetForegroundWindow(form);
    button = FindButton(form, L"Кабинет");
    return button && IsWindowVisible(button) && IsZoomed(form) && GetForegroundWindow() == form;
  })) << "the window did not settle";
  // A tap while the browser control is still starting can go unseen: tap again, as a user would.
  bool reached = false;
  for (int tap = 0; tap < 4 && !reached; ++tap) {
    ClickAt(CentreOf(button));
    reached = PumpUntil([&] { return !clinic.Requests().empty(); }, std::chrono::seconds(5));
  }
  EXPECT_TRUE(reached) << "the clinic saw no request";
  if (!clinic.Requests().empty()) {
    EXPECT_EQ(clinic.Requests().front(), "GET / HTTP/1.1");
  }
  PostMessageW(form, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(ProgramSettings, TheClinicHostComesFromTheMachineFile) {
  LoopbackHttpServer clinic(CLINIC_PORT);
  const SettingsFile file = MachineFile(R"({"clinicHost": ")" + kClinic + R"("})");
  ChildProcess program(PROGRAM_PATH);
  ExpectTheClinicOpens(program, clinic);
}

TEST(ProgramSettings, TheUsersPolicyValueWinsOverTheMachineFile) {
  LoopbackHttpServer clinic(CLINIC_PORT);
  // Another loopback host in the file, which the policy value overrides.
  const SettingsFile file = MachineFile(R"({"clinicHost": "127.0.0.1:1"})");
  UserPolicies policies;
  policies.Set(L"clinicHost", Widen(kClinic));
  ChildProcess program(PROGRAM_PATH);
  ExpectTheClinicOpens(program, clinic);
}

// Where each source stands: the value in effect is the first source's that has the key. Every
// source but the winner names a loopback port nothing listens on, so only the winner's value
// opens the clinic.
TEST(ProgramSettings, TheMachinesPolicyOverTheUsersAndANamedFileInPlaceOfTheMachineFile) {
  const std::string nowhere = "127.0.0.1:1";
  struct Case {
    const char* what;
    std::string machinePolicy, userPolicy, machineFile, namedFile;
  } cases[] = {
      {"the machine's policy over the user's", kClinic, nowhere, nowhere, ""},
      {"the user's policy over a named file", "", kClinic, "", nowhere},
      {"a named file in place of the machine file", "", "", nowhere, kClinic},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LoopbackHttpServer clinic(CLINIC_PORT);
    UserPolicies machine(HKEY_LOCAL_MACHINE), user;
    if (!c.machinePolicy.empty()) machine.Set(L"clinicHost", Widen(c.machinePolicy));
    if (!c.userPolicy.empty()) user.Set(L"clinicHost", Widen(c.userPolicy));
    const auto file = [](const std::string& host) {
      return host.empty() ? std::string("{}") : R"({"clinicHost": ")" + host + R"("})";
    };
    const SettingsFile machineFile = MachineFile(file(c.machineFile));
    wchar_t temporary[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temporary), 0u);
    const SettingsFile named(std::wstring(temporary) + L"duvuzezera-named", file(c.namedFile));
    ChildProcess program(PROGRAM_PATH, SW_SHOWDEFAULT,
                         c.namedFile.empty() ? L"" : L"--config \"" + named.Path() + L"\"");
    ExpectTheClinicOpens(program, clinic);
  }
}

TEST(ProgramSettings, ABrokenFileShowsOneBoxAndTheValidValuesStillCount) {
  LoopbackHttpServer clinic(CLINIC_PORT);
  const SettingsFile file = MachineFile(R"({"clinicHost": ")" + kClinic +
                                        R"(", "playlist": "a b", "idleResetSeconds": 5,)"
                                        R"( "clinicHots": "x"})");
  ChildProcess program(PROGRAM_PATH);
  std::vector<SeenMessageBox> boxes;
  ASSERT_TRUE(PumpUntil([&] { return !(boxes = CloseMessageBoxesOf(program.Id())).empty(); },
                        std::chrono::seconds(20)))
      << "the program showed no box";
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, kTitle);
  const std::string text = Narrow(boxes[0].text);
  const std::string source = Narrow(file.Path()) + ": ";
  for (const std::string problem :
       {"clinicHots: unknown key",
        "idleResetSeconds: must be 0 (off) or a whole number from 30 to 86400; got 5",
        "playlist: must be a YouTube identifier"}) {
    EXPECT_NE(text.find(source + problem), std::string::npos) << problem << "\nin: " << text;
  }
  ExpectTheClinicOpens(program, clinic);
  EXPECT_TRUE(CloseMessageBoxesOf(program.Id()).empty()) << "the message box comes once";
}

// With a code, "Выход" and Alt+F4 show the digits pad over the window: a wrong code closes it
// and the program goes on; the right one ends it with 0. Real clicks on the pad's own keys.
TEST(ProgramSettings, WithAnExitCodeOnlyTheCodeTypedOnThePadEndsTheProgram) {
  const SettingsFile file = MachineFile(R"({"exitCode": "2580"})");
  ChildProcess program(PROGRAM_PATH);
  HWND form = program.WaitForWindow(L"TForm12");
  ASSERT_NE(form, nullptr) << "the program showed no window";
  HWND leave = nullptr;
  ASSERT_TRUE(PumpUntil([&] {
    SetForegroundWindow(form);
    leave = FindButton(form, L"Выход");
    return leave && IsWindowVisible(leave) && IsZoomed(form) && GetForegroundWindow() == form;
  })) << "the window did not settle";
  auto padShown = [&] {
    HWND key = FindButton(form, L"5");
    return key && IsWindowVisible(key);
  };
  auto openPad = [&] {
    for (int tap = 0; tap < 4 && !padShown(); ++tap) {
      ClickAt(CentreOf(leave));
      PumpUntil(padShown, std::chrono::seconds(3));
    }
    return padShown();
  };
  auto type = [&](const std::wstring& digits) {
    for (wchar_t digit : digits) {
      HWND key = FindButton(form, std::wstring(1, digit));
      ASSERT_NE(key, nullptr) << Narrow(std::wstring(1, digit));
      ClickAt(CentreOf(key));
      PumpFor(std::chrono::milliseconds(150));
    }
  };

  ASSERT_TRUE(openPad()) << "no pad after a click on the button";
  type(L"2581");
  EXPECT_TRUE(PumpUntil([&] { return !padShown(); })) << "the pad stayed after a wrong code";
  EXPECT_EQ(program.WaitForExit(std::chrono::seconds(1)), static_cast<DWORD>(STILL_ACTIVE))
      << "a wrong code ended the program";

  // The system's key for closing the window asks for the code too.
  PressKey(VK_F4, {VK_MENU});
  ASSERT_TRUE(PumpUntil(padShown)) << "no pad after Alt+F4";
  EXPECT_EQ(program.WaitForExit(std::chrono::seconds(1)), static_cast<DWORD>(STILL_ACTIVE))
      << "Alt+F4 ended the program";
  type(L"2580");
  EXPECT_EQ(program.WaitForExit(), 0u);
}

// The site's button shows the domain from the settings whole or shortened in its middle, never
// cut at its ends: both ends of the inside of the button stay its face.
TEST(ProgramSettings, TheSitesCaptionFitsItsButtonWhateverItsLength) {
  struct Case {
    const char* name;
    std::string settings;
    std::wstring caption;
  };
  const std::wstring longDomain = L"duvuzezera-clinic-network.example.org.test";
  const Case cases[] = {
      {"the built-in domain", "{}", L"duvuzezera.example"},
      {"a domain of 40 characters", R"({"siteDomain": ")" + Narrow(longDomain) + R"("})",
       longDomain},
  };
  constexpr int kBorder = 2;  // the style's
  constexpr int kClear = 3;   // columns at each end inside the border
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SettingsFile file = MachineFile(c.settings);
    ChildProcess program(PROGRAM_PATH);
    HWND form = program.WaitForWindow(L"TForm12");
    ASSERT_NE(form, nullptr) << "the program showed no window";
    HWND button = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (button = FindButton(form, c.caption)) != nullptr; }));
    int textLeft = 0, textRight = 0, textPixels = 0;
    bool endsClear = false;
    // Read until a caption shows, or the time is up and the last reading is the verdict.
    PumpUntil([&] {
      const ScreenCapture look = CaptureWindow(button);
      const std::uint32_t face = look.At(kBorder + 1, kBorder + 1);
      textLeft = look.Width();
      textRight = -1;
      textPixels = 0;
      endsClear = true;
      for (int y = kBorder; y < look.Height() - kBorder; ++y) {
        for (int x = kBorder; x < look.Width() - kBorder; ++x) {
          if (look.At(x, y) == face) continue;
          ++textPixels;
          textLeft = std::min(textLeft, x);
          textRight = std::max(textRight, x);
          if (x < kBorder + kClear || x >= look.Width() - kBorder - kClear) endsClear = false;
        }
      }
      return textPixels > 50 && endsClear;
    });
    EXPECT_GT(textPixels, 50) << "no caption";
    EXPECT_TRUE(endsClear) << "the caption runs into the border: drawn from " << textLeft << " to "
                           << textRight;
    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
  }
}

// --check-config as a script sees it: the text on the handle it inherited, and the exit code.
TEST(ProgramSettings, CheckConfigPrintsEachSettingAndProblemAndSaysSoByItsCode) {
  const SettingsFile file = MachineFile(R"({"clinicHost": ")" + kClinic + R"("})");
  const std::string path = Narrow(file.Path());
  UserPolicies policies;
  policies.Set(L"idleResetSeconds", DWORD{120});
  policies.Set(L"siteDomain", DWORD{1});
  policies.Set(L"clinicHots", L"x");
  policies.Set(L"lockdown", DWORD{1});
  policies.SetList(L"allowedHosts", {L"docs.example", L"*.cdn.example"});
  policies.Set(L"exitCode", L"2580");

  struct Case {
    const wchar_t* arguments;
    DWORD exitCode;
    std::vector<std::string> lines;  // each is in the text, as printed
  };
  const Case cases[] = {
      {L"--check-config",
       1,
       {"  clinicHost = \"" + kClinic + "\"  (" + path + ")\r\n",
        "  idleResetSeconds = 120  (" + kPolicyPath + ")\r\n",
        "  siteDomain = \"duvuzezera.example\"  (built-in)\r\n",
        "  lockdown = true  (" + kPolicyPath + ")\r\n",
        "  allowedHosts = [\"docs.example\", \"*.cdn.example\"]  (" + kPolicyPath + ")\r\n",
        "  exitCode = (set, not shown)  (" + kPolicyPath + ")\r\n",
        "  " + kPolicyPath + ": clinicHots: unknown key; ", "  " + kPolicyPath + ": siteDomain: "}},
      {L"--check-config --kiosk", 1, {"command line: unknown option \"--kiosk\""}},
      {L"--help", 0, {"  --check-config "}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.arguments));
    const ProgramOutput run = RunToEnd(PROGRAM_PATH, c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.text;
    for (const std::string& line : c.lines)
      EXPECT_NE(run.text.find(line), std::string::npos) << line << "\nin:\n" << run.text;
  }

  policies.Remove(L"siteDomain");
  policies.Remove(L"clinicHots");
  const ProgramOutput clean = RunToEnd(PROGRAM_PATH, L"--check-config");
  EXPECT_EQ(clean.exitCode, 0u) << clean.text;
  EXPECT_NE(clean.text.find("No problems.\r\n"), std::string::npos) << clean.text;
}

// Started with no handle to write to, from a console: the text appears in that console.
TEST(ProgramSettings, WithNoHandleCheckConfigWritesToTheConsoleOfItsStarter) {
  const HANDLE ownOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE ownError = GetStdHandle(STD_ERROR_HANDLE);
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  struct Restore {
    HANDLE output, error;
    ~Restore() {
      FreeConsole();
      SetStdHandle(STD_OUTPUT_HANDLE, output);
      SetStdHandle(STD_ERROR_HANDLE, error);
    }
  } restore{ownOutput, ownError};

  DWORD exitCode = STILL_ACTIVE;
  {
    ChildProcess program(PROGRAM_PATH, SW_SHOWDEFAULT, L"--check-config --kiosk",
                         INVALID_HANDLE_VALUE);
    exitCode = program.WaitForExit();
  }
  EXPECT_EQ(exitCode, 1u);
  const HANDLE screen =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(screen, INVALID_HANDLE_VALUE);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  GetConsoleScreenBufferInfo(screen, &info);
  std::wstring cells(static_cast<std::size_t>(info.dwSize.X) * info.dwSize.Y, L' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(screen, cells.data(), static_cast<DWORD>(cells.size()), {0, 0},
                              &read);
  CloseHandle(screen);
  cells.resize(read);
  EXPECT_NE(cells.find(L"Settings in effect:"), std::wstring::npos) << Narrow(cells);
  EXPECT_NE(cells.find(L"command line: unknown option \"--kiosk\""), std::wstring::npos)
      << Narrow(cells);
}

// Changed while the program runs and the splash shows, the settings reach the next tap.
void ExpectTheClinicOpensAfterAChange(const std::function<void()>& change) {
  LoopbackHttpServer clinic(CLINIC_PORT);
  ChildProcess program(PROGRAM_PATH);
  ASSERT_NE(program.WaitForWindow(L"TForm12"), nullptr) << "the program showed no window";
  change();
  // Read once the writes have settled, half a second after the last.
  PumpFor(std::chrono::seconds(2));
  ExpectTheClinicOpens(program, clinic);
  EXPECT_TRUE(CloseMessageBoxesOf(program.Id()).empty()) << "no box";
}

TEST(ProgramSettings, AUserPolicyValueAddedWhileRunningReachesTheNextTap) {
  // No policy key at start: it is made with the value.
  std::optional<UserPolicies> policies;
  ExpectTheClinicOpensAfterAChange([&] {
    policies.emplace();
    policies->Set(L"clinicHost", Widen(kClinic));
  });
}

TEST(ProgramSettings, TheMachineFileChangedWhileRunningReachesTheNextTap) {
  const SettingsFile file = MachineFile(R"({"clinicHost": "127.0.0.1:1"})");
  ExpectTheClinicOpensAfterAChange([&] {
    std::ofstream(std::filesystem::path(file.Path()), std::ios::binary)
        << R"({"clinicHost": ")" + kClinic + R"("})";
  });
}

}  // namespace
