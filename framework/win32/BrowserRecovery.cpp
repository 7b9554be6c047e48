#include "framework/win32/BrowserRecovery.h"

#include <exdispid.h>
#include <ocidl.h>
#include <urlmon.h>

#include <utility>

#include "framework/core/Application.h"
#include "framework/core/CallbackBoundary.h"
#include "framework/core/Exceptions.h"
#include "framework/win32/SystemInfo.h"
#include "framework/win32/Unicode.h"
#include "framework/win32/Win32Application.h"

namespace fw::win32 {

namespace {

constexpr UINT_PTR kRetryTimer = 0x5201;
constexpr UINT_PTR kLoadTimer = 0x5202;

// What a NavigateError's status says about the page; nothing when the server answered (an
// HTTP status: its own page shows, and it is up).
std::optional<fw::TLoadFailure> Classify(LONG status) {
  if (status > 0 && status < 1000) return std::nullopt;
  switch (static_cast<HRESULT>(status)) {
    case INET_E_NO_SESSION:
    case INET_E_CANNOT_CONNECT:
    case INET_E_RESOURCE_NOT_FOUND:  // the host name could not be resolved
    case INET_E_DATA_NOT_AVAILABLE:
    case INET_E_DOWNLOAD_FAILURE:
    case INET_E_CONNECTION_TIMEOUT:
    case INET_E_CANNOT_LOAD_DATA:
      return fw::TLoadFailure::Unreachable;
    case INET_E_INVALID_URL:
    case INET_E_UNKNOWN_PROTOCOL:
      return fw::TLoadFailure::AddressRefused;
    default:
      // Stopped, replaced, or content the control cannot show: nothing a retry would change.
      return fw::TLoadFailure::Replaced;
  }
}

// An event's argument as sent, whether by value or by reference to a VARIANT.
const VARIANT& Value(const VARIANT& argument) {
  return argument.vt == (VT_BYREF | VT_VARIANT) && argument.pvarVal ? *argument.pvarVal : argument;
}

std::string Text(const VARIANT& argument) {
  const VARIANT& value = Value(argument);
  return value.vt == VT_BSTR && value.bstrVal ? Narrow(value.bstrVal) : std::string();
}

}  // namespace

void WindowTimer::Start(std::chrono::milliseconds delay) {
  if (!SetTimer(window_, id_, static_cast<UINT>(delay.count()), nullptr))
    throw fw::Exception("No timer is left for the browser's recovery");
  running_ = true;
}

void WindowTimer::Stop() {
  if (std::exchange(running_, false)) KillTimer(window_, id_);
}

// DWebBrowserEvents2 as the control calls it. It outlives its owner only while the control
// holds it, and then forwards nothing.
class BrowserRecovery::EventSink final : public IDispatch {
 public:
  explicit EventSink(BrowserRecovery* owner) : owner_(owner) {}
  void Detach() { owner_ = nullptr; }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) noexcept override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, DIID_DWebBrowserEvents2)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() noexcept override {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }
  STDMETHODIMP_(ULONG) Release() noexcept override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) noexcept override {
    if (count) *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                      UINT*) noexcept override {
    if (!owner_ || !parameters) return S_OK;
    return fw::AtCallbackBoundary<HRESULT>(E_FAIL, [&] {
      owner_->Event(id, *parameters);
      return S_OK;
    });
  }

 private:
  LONG references_ = 1;
  BrowserRecovery* owner_;
};

BrowserRecovery::BrowserRecovery(fw::TWebBrowser& browser, HWND window, IWebBrowser2* control)
    : browser_(browser),
      retry_(browser.Recovery().RetryDelay),
      retryTimer_(window, kRetryTimer),
      loadTimer_(window, kLoadTimer) {
  control->AddRef();
  control_.attach(control);
  OleCheck(control->QueryInterface(IID_IUnknown, identity_.put_void()),
           "The browser control has no identity");
  sink_.attach(new EventSink(this));
  ComPtr<IConnectionPointContainer> container;
  OleCheck(control->QueryInterface(IID_IConnectionPointContainer, container.put_void()),
           "The browser control offers no events");
  OleCheck(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point_.put()),
           "The browser control offers no navigation events");
  OleCheck(point_->Advise(sink_.get(), &cookie_), "The browser control refused a listener");
  if (fw::Application) fw::Application->OnVisitorInput = [this] { CancelRetry(); };
  // The visitor's input cancels a retry even where no idle reset watches it.
  if (auto* application = dynamic_cast<Win32Application*>(fw::Application))
    application->WatchInput();
}

BrowserRecovery::~BrowserRecovery() {
  if (fw::Application) fw::Application->OnVisitorInput = nullptr;
  if (point_ && cookie_) point_->Unadvise(cookie_);
  sink_->Detach();
}

IDispatch* BrowserRecovery::Events() const { return sink_.get(); }

void BrowserRecovery::SettingsChanged() {
  retry_.SetBase(browser_.Recovery().RetryDelay);
  retryTimer_.Stop();
}

bool BrowserRecovery::TimerElapsed(UINT_PTR id) {
  if (id == retryTimer_.Id()) {
    retryTimer_.Stop();
    RetryDue();
    return true;
  }
  if (id == loadTimer_.Id()) {
    loadTimer_.Stop();
    LoadTimedOut();
    return true;
  }
  return false;
}

bool BrowserRecovery::TopLevel(const VARIANT& frame) const {
  const VARIANT& value = Value(frame);
  if (value.vt != VT_DISPATCH || !value.pdispVal) return false;
  ComPtr<IUnknown> identity;
  return SUCCEEDED(value.pdispVal->QueryInterface(IID_IUnknown, identity.put_void())) &&
         identity.get() == identity_.get();
}

// The arguments arrive last first.
void BrowserRecovery::Event(DISPID id, DISPPARAMS& parameters) {
  VARIANT* arguments = parameters.rgvarg;
  switch (id) {
    case DISPID_BEFORENAVIGATE2:  // (frame, URL, flags, target, post data, headers, cancel)
      if (parameters.cArgs == 7 && TopLevel(arguments[6])) Starting(Text(arguments[5]));
      break;
    case DISPID_NAVIGATEERROR:  // (frame, URL, target, status, cancel)
      if (parameters.cArgs == 5 && TopLevel(arguments[4])) {
        const VARIANT& status = Value(arguments[1]);
        if (status.vt == VT_I4) Failed(Classify(status.lVal), Text(arguments[3]));
      }
      break;
    case DISPID_DOWNLOADBEGIN:
      downloading_ = true;
      break;
    case DISPID_DOWNLOADCOMPLETE:
      downloading_ = false;
      break;
    case DISPID_NAVIGATECOMPLETE2:  // (frame, URL)
    case DISPID_DOCUMENTCOMPLETE:
      if (parameters.cArgs == 2 && TopLevel(arguments[1])) Completed();
      break;
    default:
      break;
  }
}

void BrowserRecovery::Starting(const std::string& url) {
  // The control's own error pages are no navigation of the program's or the visitor's.
  if (url.rfind("res:", 0) == 0) return;
  // A page's own link, the program's load or the start over: whatever was pending is moot.
  if (!std::exchange(retryLoad_, false)) CancelRetry();
  goingTo_ = url;
  failed_ = false;
  downloading_ = false;
  loadTimer_.Start(browser_.Recovery().LoadTimeout);
}

void BrowserRecovery::Failed(std::optional<fw::TLoadFailure> failure, const std::string& url) {
  loadTimer_.Stop();
  failed_ = true;
  if (!failure) {
    retry_.Loaded();  // the server answered
    return;
  }
  // The control's navigate call fails by itself for an address it refuses outright, and that
  // failure is the box: only the retry is left to decide here.
  if (!fw::RespondToFailedLoad(*failure, false).Retry || url.empty()) return;
  if (const std::optional<std::chrono::seconds> wait = retry_.Failed(url)) {
    retryTimer_.Stop();
    retryTimer_.Start(*wait);
  }
}

void BrowserRecovery::Completed() {
  loadTimer_.Stop();
  if (!failed_) retry_.Loaded();
}

void BrowserRecovery::CancelRetry() {
  retry_.Cancel();
  retryTimer_.Stop();
}

void BrowserRecovery::RetryDue() {
  if (const std::optional<std::string> url = retry_.Due()) {
    retryLoad_ = true;  // its start must not start the count over
    try {
      browser_.Navigate(*url);
    } catch (...) {
      retryLoad_ = false;
      throw;
    }
  }
}

// The control waits for a silent server as long as the connection stays open. The load is
// stopped and counts as failed, so the retry applies.
void BrowserRecovery::LoadTimedOut() {
  if (!LoadUnderWay()) return;
  failed_ = true;  // what the stop completes is no page that loaded
  OleCheck(control_->Stop(), "The browser control failed to stop");
  Failed(fw::TLoadFailure::Unreachable, goingTo_);
}

// No completion came since the load began; it may still have been cancelled before it started
// (by another listener of the control). Wine's control never reports itself busy, and its ready
// state says loading even then: that the download began is what tells.
bool BrowserRecovery::LoadUnderWay() const {
  VARIANT_BOOL busy = VARIANT_FALSE;
  return downloading_ || (SUCCEEDED(control_->get_Busy(&busy)) && busy != VARIANT_FALSE);
}

}  // namespace fw::win32
