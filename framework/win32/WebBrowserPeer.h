#pragma once

#include <exdisp.h>
#include <ole2.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "framework/core/WebBrowser.h"
#include "framework/win32/WindowPeer.h"

namespace fw::win32 {

class BrowserEvents;
class BrowserLockdown;
class BrowserRecovery;
class BrowserSite;

// Hosts the system's browser control (CLSID_WebBrowser) in place inside the control's window.
class WebBrowserPeer : public WindowPeer, public fw::BrowserPeer {
 public:
  explicit WebBrowserPeer(fw::TWebBrowser& browser);
  ~WebBrowserPeer() override;

  void Navigate(const std::string& url) override;
  void Stop() override;
  void LeavePage() override;
  void ClearBrowsingData() override;
  // The control runs inside the program: its private bytes are the program's.
  std::optional<std::uint64_t> MemoryInUse() override;
  IWebBrowser2* Browser() const { return browser_.get(); }
  // The in-place active object, once the control has offered one (for accelerators).
  IOleInPlaceActiveObject* ActiveObject() const;
  void RecoveryChanged() override;
  // What brings the page back by itself, once the control runs.
  BrowserRecovery* Recovery() const { return recovery_.get(); }
  // The control's events as it sends them, once it runs.
  BrowserEvents* Events() const { return events_.get(); }

 protected:
  std::wstring ClassName() const override { return L"TWebBrowser"; }
  DWORD Style() const override { return WindowPeer::Style() | WS_TABSTOP; }
  bool AttachesTextInputPanel() const override { return false; }
  void Created() override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  ComPtr<IOleObject> object_;
  ComPtr<IOleInPlaceObject> inPlace_;
  ComPtr<IWebBrowser2> browser_;
  ComPtr<BrowserSite> site_;
  std::unique_ptr<BrowserEvents> events_;
  std::unique_ptr<BrowserLockdown> lockdown_;
  std::unique_ptr<BrowserRecovery> recovery_;
};

}  // namespace fw::win32
