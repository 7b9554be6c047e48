#include "tests/soak/ProgramDriver.h"

#include <windows.h>

#include <chrono>
#include <initializer_list>
#include <vector>

#include "framework/win32/ControlWindow.h"
#include "mainwindow/Unit12.h"
#include "tests/support/win32/WindowTesting.h"

namespace testing_win32 {

namespace {

using fw::win32::WindowOf;

constexpr auto kEffectTimeout = std::chrono::seconds(5);

bool BarShown() { return Form12->AppBar->Visible() && IsWindowVisible(WindowOf(Form12->AppBar)); }

// Hands the events to the system as one batch, then lets the window take in what arrived.
void Send(std::initializer_list<INPUT> events) {
  std::vector<INPUT> batch(events);
  SendInput(static_cast<UINT>(batch.size()), batch.data(), sizeof(INPUT));
  PumpUntil([] { return true; });
}

INPUT Key(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  return input;
}

INPUT Mouse(DWORD flags, POINT at = {}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_MOVE) {
    input.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  return input;
}

}  // namespace

void ProgramDriver::FocusNavigationButton() {
  SetForegroundWindow(WindowOf(Form12));
  Form12->Button1->SetFocus();
  PumpFor(std::chrono::milliseconds(200));
}

int ProgramDriver::ToggleByEscape(int times) {
  int missed = 0;
  for (int i = 0; i < times; ++i) {
    const bool shown = BarShown();
    Send({Key(VK_ESCAPE, true), Key(VK_ESCAPE, false)});
    missed += !PumpUntil([&] { return BarShown() != shown; }, kEffectTimeout);
  }
  return missed;
}

int ProgramDriver::Navigate(int times) {
  const fw::TButton* buttons[] = {Form12->Button1, Form12->Button2, Form12->Button5};
  int missed = 0;
  for (int i = 0; i < times; ++i) {
    const std::size_t before = server_.Requests().size();
    Send({Mouse(MOUSEEVENTF_MOVE, CentreOf(WindowOf(buttons[i % 3])))});
    Send({Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP)});
    missed += !PumpUntil([&] { return server_.Requests().size() > before; }, kEffectTimeout);
  }
  return missed;
}

int ProgramDriver::SwipeOnPane(int times) {
  RECT pane;
  GetWindowRect(WindowOf(Form12->SplitView1), &pane);
  // Below the buttons, where a stroke belongs to the pane itself.
  const POINT start{(pane.left + pane.right) / 2, pane.bottom - 150};
  int missed = 0;
  for (int i = 0; i < times; ++i) {
    const bool shown = BarShown();
    Send({Mouse(MOUSEEVENTF_MOVE, start)});
    Send({Mouse(MOUSEEVENTF_LEFTDOWN)});
    // Moves in separate batches: the system merges moves queued together.
    for (int step = 1; step <= 4; ++step) {
      Send({Mouse(MOUSEEVENTF_MOVE, {start.x, start.y - 30 * step})});
    }
    Send({Mouse(MOUSEEVENTF_LEFTUP)});
    missed += !PumpUntil([&] { return BarShown() != shown; }, kEffectTimeout);
  }
  return missed;
}

}  // namespace testing_win32
