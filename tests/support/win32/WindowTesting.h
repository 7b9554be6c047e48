#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Helpers for driving real windows with real input in tests.
namespace testing_win32 {

// Dispatches messages until `done` holds or the time is up; returns whether it held.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Dispatches whatever is queued for about `duration`.
void PumpFor(std::chrono::milliseconds duration);

// Real mouse input through SendInput, as a user's mouse makes it.
void MoveTo(POINT screen);
void PressButton(bool rightButton, bool down);
// A left (or right) click at a screen point.
void ClickAt(POINT screen, bool rightButton = false);
// A left-button drag through the points, pausing between moves so that each is a sample.
void DragThrough(const std::vector<POINT>& points);
// A key pressed and released, with modifiers held around it.
void PressKey(WORD key, const std::vector<WORD>& modifiers = {});
// The centre of a window on the screen.
POINT CentreOf(HWND window);

std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);
// The window's bounds relative to its parent's client area (screen for a top-level one).
RECT BoundsOf(HWND window);
// Child windows (direct) from the top of the z-order down.
std::vector<HWND> ChildrenTopDown(HWND parent);
// Left, top, width and height as a rectangle.
inline RECT Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}
// The first descendant of the given class, or none.
HWND FindDescendant(HWND parent, const wchar_t* className);

// A message box seen by a watcher: its title, its text, and that it was closed.
struct SeenMessageBox {
  HWND window = nullptr;
  std::wstring title;
  std::wstring text;
  bool hasErrorIcon = false;  // readable for boxes of this process only
  std::vector<std::wstring> buttons;
  RECT bounds{};
};

// Finds a dialog box (class #32770) of process `pid` that is visible, reads it and
// presses its OK button. Empty when none is there.
std::vector<SeenMessageBox> CloseMessageBoxesOf(DWORD pid);

// While alive, closes every message box of this process from a timer, so that a modal box
// shown by the code under test is seen and dismissed without a person.
class MessageBoxWatcher {
 public:
  MessageBoxWatcher();
  ~MessageBoxWatcher();
  const std::vector<SeenMessageBox>& Seen() const { return seen_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  static MessageBoxWatcher* current_;
  UINT_PTR timer_;
  std::vector<SeenMessageBox> seen_;
};

}  // namespace testing_win32

// Rectangles compared and printed by the tests (global, where lookup finds them for RECT).
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
  return out << "{" << r.left << ", " << r.top << ", " << r.right - r.left << " x "
             << r.bottom - r.top << "}";
}
