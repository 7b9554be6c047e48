#include "tests/support/win32/ReceivedMouseMessages.h"

#include <stdexcept>

namespace testing_win32 {
namespace {

// A hook procedure has no context of its own; one recorder per thread at a time.
thread_local ReceivedMouseMessages* current = nullptr;
thread_local std::vector<std::pair<HWND, UINT>>* sink = nullptr;

}  // namespace

ReceivedMouseMessages::ReceivedMouseMessages() {
  if (current) throw std::logic_error("a recorder of mouse messages already runs on this thread");
  hook_ = SetWindowsHookExW(WH_GETMESSAGE, Record, nullptr, GetCurrentThreadId());
  if (!hook_) throw std::runtime_error("cannot hook the thread's messages");
  current = this;
  sink = &received_;
}

ReceivedMouseMessages::~ReceivedMouseMessages() {
  UnhookWindowsHookEx(hook_);
  current = nullptr;
  sink = nullptr;
}

bool ReceivedMouseMessages::Received(UINT message, HWND inside) const {
  for (const auto& [window, m] : received_) {
    if (m == message && (window == inside || IsChild(inside, window))) return true;
  }
  return false;
}

LRESULT CALLBACK ReceivedMouseMessages::Record(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && sink && message->message >= WM_MOUSEFIRST &&
      message->message <= WM_MOUSELAST && message->message != WM_MOUSEMOVE) {
    try {
      sink->emplace_back(message->hwnd, message->message);
    } catch (...) {
      // A message lost from the record fails the test that looks for it.
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace testing_win32
