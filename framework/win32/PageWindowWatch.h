#pragma once

#include <windows.h>

#include "framework/core/WebBrowser.h"
#include "framework/win32/Handles.h"

namespace fw::win32 {

// Watches every window this thread makes, so that a locked browser's page opens no window that
// holds or leaves the kiosk: the system's file window is never created (its call reports
// cancel), and the engine's own boxes (`prompt`) leave the navigation buttons usable, like the
// program's boxes for `alert` and `confirm`. One watch a thread, from before the first browser
// control to the end.
class PageWindowWatch {
 public:
  PageWindowWatch();
  ~PageWindowWatch();
  PageWindowWatch(const PageWindowWatch&) = delete;
  PageWindowWatch& operator=(const PageWindowWatch&) = delete;

  // The windows of `browser`, held in `window`, are watched while it is locked down, until
  // Forget. `browser` must outlive that.
  static void Watch(HWND window, const fw::TWebBrowser& browser);
  static void Forget(const fw::TWebBrowser& browser);

 private:
  UniqueHook hook_;
};

}  // namespace fw::win32
