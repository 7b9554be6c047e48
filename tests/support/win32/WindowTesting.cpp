#include "tests/support/win32/WindowTesting.h"

#include "framework/win32/PlatformApplication.h"

namespace testing_win32 {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the real loop
        return done();
      }
      // Through the application's own routing, so keys meet it as they do in its loop.
      if (auto* application = dynamic_cast<fw::win32::PlatformApplication*>(fw::Application)) {
        application->HandleMessage(message);
      } else {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    if (done()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpFor(std::chrono::milliseconds duration) {
  const auto end = std::chrono::steady_clock::now() + duration;
  PumpUntil([&] { return std::chrono::steady_clock::now() > end; },
            duration + std::chrono::seconds(1));
}

void MoveTo(POINT screen) {
  const int width = GetSystemMetrics(SM_CXSCREEN) - 1, height = GetSystemMetrics(SM_CYSCREEN) - 1;
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = MulDiv(screen.x, 65535, width);
  move.mi.dy = MulDiv(screen.y, 65535, height);
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &move, sizeof move);
  PumpFor(std::chrono::milliseconds(50));
}

void PressButton(bool rightButton, bool down) {
  INPUT press{};
  press.type = INPUT_MOUSE;
  press.mi.dwFlags = rightButton ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                                 : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
  SendInput(1, &press, sizeof press);
  PumpFor(std::chrono::milliseconds(down ? 30 : 100));
}

void ClickAt(POINT screen, bool rightButton) {
  MoveTo(screen);
  PressButton(rightButton, true);
  PressButton(rightButton, false);
}

void DragThrough(const std::vector<POINT>& points) {
  if (points.empty()) return;
  MoveTo(points.front());
  PressButton(false, true);
  for (std::size_t i = 1; i < points.size(); ++i) MoveTo(points[i]);
  PressButton(false, false);
}

void PressKey(WORD key, const std::vector<WORD>& modifiers) {
  auto send = [](WORD vk, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    PumpFor(std::chrono::milliseconds(40));
  };
  for (WORD m : modifiers) send(m, true);
  send(key, true);
  send(key, false);
  for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) send(*m, false);
  PumpFor(std::chrono::milliseconds(100));
}

POINT CentreOf(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

RECT BoundsOf(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  if (HWND parent = GetParent(window); parent && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

std::vector<HWND> ChildrenTopDown(HWND parent) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    children.push_back(c);
  return children;
}

HWND FindDescendant(HWND parent, const wchar_t* className) {
  for (HWND child : ChildrenTopDown(parent)) {
    if (ClassOf(child) == className) return child;
    if (HWND inner = FindDescendant(child, className)) return inner;
  }
  return nullptr;
}

std::vector<SeenMessageBox> CloseMessageBoxesOf(DWORD pid) {
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  } search{pid, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->pid && IsWindowVisible(window) && ClassOf(window) == L"#32770")
          s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  std::vector<SeenMessageBox> seen;
  for (HWND box : search.found) {
    SeenMessageBox entry{box, TextOf(box), {}, false, {}, {}};
    GetWindowRect(box, &entry.bounds);
    for (HWND child : ChildrenTopDown(box)) {
      if (ClassOf(child) == L"Button") entry.buttons.push_back(TextOf(child));
      if (ClassOf(child) != L"Static") continue;
      if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        entry.hasErrorIcon = SendMessageW(child, STM_GETICON, 0, 0) ==
                             reinterpret_cast<LRESULT>(LoadIconW(nullptr, IDI_ERROR));
      } else if (!TextOf(child).empty()) {
        entry.text = TextOf(child);
      }
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    seen.push_back(entry);
  }
  return seen;
}

MessageBoxWatcher* MessageBoxWatcher::current_ = nullptr;

MessageBoxWatcher::MessageBoxWatcher() : timer_(SetTimer(nullptr, 0, 50, Tick)) { current_ = this; }

MessageBoxWatcher::~MessageBoxWatcher() {
  KillTimer(nullptr, timer_);
  current_ = nullptr;
}

void CALLBACK MessageBoxWatcher::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (!current_) return;
  for (auto& box : CloseMessageBoxesOf(GetCurrentProcessId())) {
    // A box stays up until it handles the posted OK; count it once.
    bool known = false;
    for (const auto& seen : current_->seen_) known = known || seen.window == box.window;
    if (!known) current_->seen_.push_back(box);
  }
}

}  // namespace testing_win32
