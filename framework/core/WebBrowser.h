#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "framework/core/Control.h"
#include "framework/core/NavigationAllowList.h"

namespace fw {

// What a browser backend's peer offers besides being a control's peer.
class BrowserPeer {
 public:
  virtual ~BrowserPeer() = default;
  // Starts loading `url` in place of the current page; throws EOleException on failure.
  virtual void Navigate(const std::string& url) = 0;
  // Stops loading the page and running its scripts.
  virtual void Stop() = 0;
  // The program's next navigation leaves the page whatever it asks: a dialog it has open is
  // answered as Cancel and goes from the screen, a file or print window it opened is
  // cancelled, and a question before leaving is answered "leave".
  virtual void LeavePage() = 0;
  // Removes everything browsing left in this user's browser storage. Throws, after removing
  // what it could, when something stays.
  virtual void ClearBrowsingData() = 0;
  // The browser's recovery settings changed (TWebBrowser::SetRecovery).
  virtual void RecoveryChanged() {}
  // The program's own keyboard for the page's fields, where the platform has none; a
  // platform whose system keyboard serves the page ignores both.
  virtual void UseOnScreenKeyboard(bool) {}
  virtual void HideOnScreenKeyboard() {}
  virtual void AllowOnScreenKeyboard(bool) {}
  // What the program holds with the engine, in bytes: the process tree where the engine runs
  // in processes of its own. Nothing where it cannot be read.
  virtual std::optional<std::uint64_t> MemoryInUse() { return std::nullopt; }
  // Whether the engine's process can be ended and a fresh one started in its place.
  virtual bool EngineRecyclable() const { return false; }
  // Ends the engine's process and starts a fresh one on a blank document, as at start.
  virtual void RecycleEngine() {}
};

// How the browser brings a page back by itself.
struct TBrowserRecovery {
  // Before a page that could not be reached is loaded again; zero: never.
  std::chrono::seconds RetryDelay{};
  // A load that takes longer is stopped and shown as failed.
  std::chrono::seconds LoadTimeout{60};
};

// The embedded web browser. It takes part in no gesture: strokes inside belong to the page.
class TWebBrowser : public TWinControl {
 public:
  using TWinControl::TWinControl;
  TControlKind Kind() const override { return TControlKind::WebBrowser; }
  bool TabStop() const override { return true; }
  // Locked down, the program's navigation leaves the page whatever it asks; otherwise the
  // page may ask the visitor first, as the engine has it.
  void Navigate(const std::string& url);
  // As before the first navigation: the page left for a blank document whatever it asks,
  // and the browser's storage cleared. Every step is tried; what failed is thrown afterwards, as
  // one.
  void StartOver();
  void SetRecovery(const TBrowserRecovery& recovery);
  const TBrowserRecovery& Recovery() const { return recovery_; }

  // What the program holds with the engine, and the fresh start of the engine's process,
  // where the platform has them (BrowserPeer).
  std::optional<std::uint64_t> MemoryInUse() const;
  bool EngineRecyclable() const;
  void RecycleEngine();

  // Runs when the page's engine has died too often to bring the page back.
  TNotifyEvent OnGiveUp;
  // Runs when a load has ended with a page on the screen: the page at `address`, or with
  // `errorPage` the engine's error page for `address`, which could not be loaded.
  std::function<void(const std::string& address, bool errorPage)> OnPageShown;
  // What a backend's recovery reports: each runs its handler, if any, guarded by the
  // application.
  void GiveUp();
  void PageShown(const std::string& address, bool errorPage);

  // Locked down, a page leads the kiosk only where `allowed` says, and never out of the view
  // (no new window, file window, print or download): the backend's peer closes each route.
  void Lock(NavigationAllowList allowed) { lockdown_ = std::move(allowed); }
  void Unlock() { lockdown_.reset(); }
  const NavigationAllowList* Lockdown() const { return lockdown_ ? &*lockdown_ : nullptr; }

  // Whether the program's keyboard serves the page's fields (off until asked for).
  void UseOnScreenKeyboard(bool use);
  void HideOnScreenKeyboard();
  // While not allowed the keyboard stays hidden, and a field that gets the focus brings none.
  void AllowOnScreenKeyboard(bool allowed);

 private:
  BrowserPeer& Browser() const;

  TBrowserRecovery recovery_;
  std::optional<NavigationAllowList> lockdown_;
};

}  // namespace fw
