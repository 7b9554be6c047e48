// The program as built, with a hook that does on its window thread what the browser control does
// for a page (a page cannot run under Wine), locked down or not by its settings file: the file
// window of a file input, the control's `prompt` box, a link followed to a loopback port.
#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/CallbackBoundary.h"
#include "tests/app/PageWindowHook.h"
#include "tests/support/win32/ChildProcess.h"
#include "tests/support/win32/LoopbackHttpServer.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_win32;

constexpr wchar_t kTitle[] = L"Кабинет Duvuzezera";
constexpr int kClinicPort = PAGE_WINDOWS_PORT;
constexpr int kAllowedPort = PAGE_WINDOWS_PORT + 1;
constexpr int kOtherPort = PAGE_WINDOWS_PORT + 2;

std::wstring TempPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const DWORD length = GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder, length) + name;
}

std::string ReadText(const std::wstring& path) {
  std::string text;
  if (std::FILE* file = _wfopen(path.c_str(), L"rb")) {
    char buffer[512];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
      text.append(buffer, n);
    std::fclose(file);
  }
  return text;
}

void WriteText(const std::wstring& path, const std::string& text) {
  std::FILE* file = _wfopen(path.c_str(), L"wb");
  ASSERT_NE(file, nullptr);
  std::fputs(text.c_str(), file);
  std::fclose(file);
}

struct Dialogs {
  DWORD process;
  std::vector<HWND> found;
};

// The visible dialogs (#32770) of a process.
std::vector<HWND> DialogsOf(DWORD process) {
  Dialogs search{process, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        return fw::AtCallbackBoundary(TRUE, [&]() -> BOOL {
          auto& s = *reinterpret_cast<Dialogs*>(data);
          DWORD owner = 0;
          if (GetWindowThreadProcessId(window, &owner) && owner == s.process &&
              IsWindowVisible(window) && ClassOf(window) == L"#32770") {
            s.found.push_back(window);
          }
          return TRUE;
        });
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND DialogTitled(DWORD process, const std::wstring& title) {
  for (HWND dialog : DialogsOf(process))
    if (TextOf(dialog) == title) return dialog;
  return nullptr;
}

HWND FindButton(HWND parent, const std::wstring& caption) {
  for (HWND child : ChildrenTopDown(parent)) {
    if (ClassOf(child) == L"TButton" && TextOf(child) == caption) return child;
    if (HWND inner = FindButton(child, caption)) return inner;
  }
  return nullptr;
}

// The test copy of the program started with a settings file that locks it down or not, and
// names a problem so that the program's own box shows at start; and the hook's log.
class PageWindows : public testing::Test {
 protected:
  void Start(bool locked) {
    settings_ = TempPath(L"page-windows-kiosk.json");
    log_ = TempPath(L"page-windows-log.txt");
    DeleteFileW(log_.c_str());
    WriteText(settings_, "{\"clinicHost\": \"127.0.0.1:" + std::to_string(kClinicPort) +
                             "\", \"lockdown\": " + (locked ? "true" : "false") +
                             ", \"allowedHosts\": [\"127.0.0.1:" + std::to_string(kAllowedPort) +
                             "\"], \"visitorNote\": 1}");
    ASSERT_TRUE(SetEnvironmentVariableW(L"DUVUZEZERA_TEST_PAGE_LOG", log_.c_str()));
    program_.emplace(PAGE_WINDOWS_PROGRAM_PATH, SW_SHOWDEFAULT, L"--config \"" + settings_ + L"\"");
    // The program's own box about the settings shows, whatever the lockdown.
    HWND box = nullptr;
    EXPECT_TRUE(
        PumpUntil([&] { return (box = DialogTitled(program_->Id(), kTitle)) != nullptr; }, 20s))
        << "the program's own box did not show";
    if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
    form_ = program_->WaitForWindow(L"TForm12");
    ASSERT_NE(form_, nullptr) << "the program showed no window";
    hook_ = FindWindowExW(HWND_MESSAGE, nullptr, page_window_hook::kClass, nullptr);
    ASSERT_NE(hook_, nullptr) << "the test copy has no hook";
  }
  void TearDown() override {
    if (program_ && form_) {
      for (HWND dialog : DialogsOf(program_->Id())) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      PostMessageW(form_, WM_CLOSE, 0, 0);
      EXPECT_EQ(program_->WaitForExit(), 0u);
    }
    program_.reset();
    SetEnvironmentVariableW(L"DUVUZEZERA_TEST_PAGE_LOG", nullptr);
    DeleteFileW(settings_.c_str());
    DeleteFileW(log_.c_str());
  }
  // Asks the hook and waits for the outcome it logs.
  std::string Ask(UINT request, WPARAM argument = 0,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const std::size_t before = Lines().size();
    PostMessageW(hook_, request, argument, 0);
    PumpUntil([&] { return Lines().size() > before; }, timeout);
    const auto lines = Lines();
    return lines.size() > before ? lines[before] : std::string();
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    const std::string text = ReadText(log_);
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }
  // Whether the loopback server at `port` sees a request once the control is led there.
  bool LinkReaches(int port) {
    LoopbackHttpServer server(port);
    EXPECT_EQ(Ask(page_window_hook::kNavigate, static_cast<WPARAM>(port)), "navigate 0");
    return PumpUntil([&] { return !server.Requests().empty(); }, 5s);
  }

  std::optional<ChildProcess> program_;
  HWND form_ = nullptr;
  HWND hook_ = nullptr;
  std::wstring settings_, log_;
};

TEST_F(PageWindows, LockedDownThePageOpensNoWindowThatHoldsTheKiosk) {
  Start(true);
  if (HasFatalFailure()) return;
  const DWORD process = program_->Id();

  // The file window is never made: the call reports cancel at once and nothing shows.
  EXPECT_EQ(Ask(page_window_hook::kOpenFile), "file 0");
  EXPECT_TRUE(DialogsOf(process).empty()) << "a window of the file input showed";

  // The prompt shows, the buttons beside it stay usable, and a tap answers it as Cancel.
  LoopbackHttpServer clinic(kClinicPort);
  const std::size_t logged = Lines().size();
  PostMessageW(hook_, page_window_hook::kPrompt, 0, 0);
  HWND prompt = nullptr;
  ASSERT_TRUE(PumpUntil([&] {
    return (prompt = DialogTitled(process, page_window_hook::kPromptCaption)) != nullptr;
  })) << "the prompt did not show";
  EXPECT_TRUE(IsWindowEnabled(form_)) << "the prompt holds the whole window";
  HWND button = FindButton(form_, L"Кабинет");
  ASSERT_NE(button, nullptr);
  ClickAt(CentreOf(button));
  EXPECT_TRUE(PumpUntil([&] { return !clinic.Requests().empty(); }, 5s))
      << "the tap's navigation did not run";
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(prompt); }, 5s)) << "the prompt outlived the tap";
  PumpUntil([&] { return Lines().size() > logged; });
  ASSERT_GT(Lines().size(), logged);
  EXPECT_EQ(Lines()[logged], "prompt " + std::to_string(IDCANCEL));

  // A link leads only to an allowed host; the settings file named it.
  EXPECT_FALSE(LinkReaches(kOtherPort)) << "a host outside the allow list was reached";
  EXPECT_TRUE(LinkReaches(kAllowedPort)) << "the allowed host was not reached";
}

TEST_F(PageWindows, NotLockedDownThePageOpensItsWindows) {
  Start(false);
  if (HasFatalFailure()) return;
  const DWORD process = program_->Id();
  const std::size_t logged = Lines().size();
  PostMessageW(hook_, page_window_hook::kOpenFile, 0, 0);
  HWND fileWindow = nullptr;
  EXPECT_TRUE(PumpUntil([&] {
    const auto dialogs = DialogsOf(process);
    fileWindow = dialogs.empty() ? nullptr : dialogs.front();
    return fileWindow != nullptr;
  })) << "the file window did not open";
  if (fileWindow) PostMessageW(fileWindow, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(PumpUntil([&] { return Lines().size() > logged; }));
  EXPECT_TRUE(LinkReaches(kOtherPort));
}

}  // namespace
