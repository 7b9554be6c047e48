#include "framework/win32/WebBrowserPeer.h"

#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/win32/BrowserEvents.h"
#include "framework/win32/BrowserLockdown.h"
#include "framework/win32/BrowserRecovery.h"
#include "framework/win32/BrowserSite.h"
#include "framework/win32/Errors.h"
#include "framework/win32/InternetStorage.h"
#include "framework/win32/PageWindowWatch.h"
#include "framework/win32/PageWindows.h"
#include "framework/win32/ProcessMemory.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

namespace {

void Check(HRESULT hr, const char* step) {
  OleCheck(hr, std::string("The browser control failed to ") + step);
}

}  // namespace

WebBrowserPeer::WebBrowserPeer(fw::TWebBrowser& browser) : WindowPeer(browser) {}

void WebBrowserPeer::Created() {
  auto& browser = static_cast<fw::TWebBrowser&>(Control());
  site_.attach(new BrowserSite(Handle(), &browser));
  Check(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                         object_.put_void()),
        "start");
  Check(object_->SetClientSite(site_.get()), "accept its site");
  RECT area;
  GetClientRect(Handle(), &area);
  Check(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, Handle(), &area),
        "activate");
  Check(object_->QueryInterface(IID_IOleInPlaceObject, inPlace_.put_void()),
        "offer in-place hosting");
  Check(object_->QueryInterface(IID_IWebBrowser2, browser_.put_void()), "offer IWebBrowser2");
  events_ = std::make_unique<BrowserEvents>(browser_.get());
  // The lockdown listens first: what it cancels, the recovery does not wait for.
  lockdown_ = std::make_unique<BrowserLockdown>(browser, *events_,
                                                [this](const std::string& url) { Navigate(url); });
  recovery_ = std::make_unique<BrowserRecovery>(browser, Handle(), browser_.get(), *events_);
  PageWindowWatch::Watch(Handle(), browser);
}

WebBrowserPeer::~WebBrowserPeer() {
  PageWindowWatch::Forget(static_cast<fw::TWebBrowser&>(Control()));
  // No event may reach them while the control closes.
  recovery_.reset();
  lockdown_.reset();
  events_.reset();
  // Hand the control back before its host window goes.
  if (inPlace_) inPlace_->InPlaceDeactivate();
  if (object_) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
  }
  browser_.reset();
  inPlace_.reset();
  object_.reset();
  if (site_) site_->Detach();
}

IOleInPlaceActiveObject* WebBrowserPeer::ActiveObject() const {
  return site_ ? site_->ActiveObject() : nullptr;
}

void WebBrowserPeer::Navigate(const std::string& url) {
  if (!browser_) throw fw::Exception("The browser control is not running");
  UniqueBstr address(Widen(url).c_str());
  if (!address.get() && !url.empty()) throw fw::Exception("Out of memory");
  // Flags, target frame, post data and headers all omitted.
  VARIANT omitted;
  VariantInit(&omitted);
  V_VT(&omitted) = VT_ERROR;
  V_ERROR(&omitted) = DISP_E_PARAMNOTFOUND;
  // The control asks its question before leaving the page within the call.
  const HRESULT navigated =
      browser_->Navigate(address.get(), &omitted, &omitted, &omitted, &omitted);
  site_->LeftPage();
  OleCheck(navigated);
}

void WebBrowserPeer::LeavePage() {
  if (site_) site_->LeavePage();
  // The program's own error boxes carry its title; the page cannot choose a box's caption.
  CancelPageWindows(GetAncestor(Handle(), GA_ROOT),
                    fw::Application ? Widen(fw::Application->Title()) : std::wstring());
}

void WebBrowserPeer::Stop() {
  if (!browser_) throw fw::Exception("The browser control is not running");
  Check(browser_->Stop(), "stop");
}

void WebBrowserPeer::ClearBrowsingData() { ClearInternetStorage(); }

std::optional<std::uint64_t> WebBrowserPeer::MemoryInUse() {
  const std::vector<fw::TMemoryFigure> figures = ThisProcessMemory();
  if (figures.empty() || figures.front().Bytes <= 0) return std::nullopt;
  return static_cast<std::uint64_t>(figures.front().Bytes);
}

void WebBrowserPeer::RecoveryChanged() {
  if (recovery_) recovery_->SettingsChanged();
}

LRESULT WebBrowserPeer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE && inPlace_) {
    RECT area{0, 0, LOWORD(lParam), HIWORD(lParam)};
    inPlace_->SetObjectRects(&area, &area);
    return 0;
  }
  if (message == WM_TIMER && recovery_ && recovery_->TimerElapsed(wParam)) return 0;
  return WindowPeer::HandleMessage(message, wParam, lParam);
}

}  // namespace fw::win32
