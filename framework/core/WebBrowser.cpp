#include "framework/core/WebBrowser.h"

#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"

namespace fw {

BrowserPeer& TWebBrowser::Browser() const {
  auto* browser = dynamic_cast<BrowserPeer*>(Peer());
  if (!browser) throw Exception("The browser control '" + Name() + "' has no window yet");
  return *browser;
}

void TWebBrowser::Navigate(const std::string& url) {
  BrowserPeer& browser = Browser();
  if (lockdown_) browser.LeavePage();
  browser.Navigate(url);
}

void TWebBrowser::SetRecovery(const TBrowserRecovery& recovery) {
  recovery_ = recovery;
  if (auto* browser = dynamic_cast<BrowserPeer*>(Peer())) browser->RecoveryChanged();
}

void TWebBrowser::UseOnScreenKeyboard(bool use) { Browser().UseOnScreenKeyboard(use); }

void TWebBrowser::HideOnScreenKeyboard() {
  if (auto* browser = dynamic_cast<BrowserPeer*>(Peer())) browser->HideOnScreenKeyboard();
}

void TWebBrowser::AllowOnScreenKeyboard(bool allowed) {
  if (auto* browser = dynamic_cast<BrowserPeer*>(Peer())) browser->AllowOnScreenKeyboard(allowed);
}

std::optional<std::uint64_t> TWebBrowser::MemoryInUse() const { return Browser().MemoryInUse(); }

bool TWebBrowser::EngineRecyclable() const { return Browser().EngineRecyclable(); }

void TWebBrowser::RecycleEngine() { Browser().RecycleEngine(); }

void TWebBrowser::StartOver() {
  BrowserPeer& browser = Browser();
  std::string failures;
  auto attempt = [&failures](auto&& step) {
    try {
      step();
    } catch (const std::exception& e) {
      failures += (failures.empty() ? "" : "\n") + std::string(e.what());
    }
  };
  attempt([&] { browser.LeavePage(); });
  attempt([&] { browser.Stop(); });
  attempt([&] { browser.Navigate("about:blank"); });
  attempt([&] { browser.ClearBrowsingData(); });
  if (!failures.empty()) throw Exception(failures);
}

void TWebBrowser::GiveUp() {
  if (OnGiveUp && Application) Application->Guard([this] { OnGiveUp(this); });
}

void TWebBrowser::PageShown(const std::string& address, bool errorPage) {
  if (OnPageShown && Application) Application->Guard([&] { OnPageShown(address, errorPage); });
}

}  // namespace fw
