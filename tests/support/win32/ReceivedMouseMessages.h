#pragma once

#include <windows.h>

#include <utility>
#include <vector>

namespace testing_win32 {

// Records every mouse button message the calling thread's windows take from the queue, from
// construction to destruction: what the system really delivered, double clicks included.
class ReceivedMouseMessages {
 public:
  ReceivedMouseMessages();
  ~ReceivedMouseMessages();
  ReceivedMouseMessages(const ReceivedMouseMessages&) = delete;
  ReceivedMouseMessages& operator=(const ReceivedMouseMessages&) = delete;

  void Clear() { received_.clear(); }
  // Whether `message` reached `inside` or a window within it.
  bool Received(UINT message, HWND inside) const;

 private:
  static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam);
  HHOOK hook_ = nullptr;
  std::vector<std::pair<HWND, UINT>> received_;
};

}  // namespace testing_win32
