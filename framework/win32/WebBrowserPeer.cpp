#include "framework/win32/WebBrowserPeer.h"

#include "framework/core/Exceptions.h"
#include "framework/win32/InternetStorage.h"
#include "framework/win32/SystemInfo.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

// The container side of in-place hosting: the client site, the in-place site and a frame
// that offers nothing (no menus, no toolbars, no status line). The control calls these
// through COM, which cannot carry an exception: every method is noexcept and only copies
// pointers and rectangles.
class BrowserSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
 public:
  explicit BrowserSite(HWND host) : host_(host) {}

  IOleInPlaceActiveObject* ActiveObject() const { return active_.get(); }
  void Detach() {
    active_.reset();
    host_ = nullptr;
  }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite)) {
      *object = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite)) {
      *object = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(riid, IID_IOleInPlaceUIWindow) ||
               IsEqualIID(riid, IID_IOleInPlaceFrame)) {
      *object = static_cast<IOleInPlaceFrame*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() noexcept override {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }
  STDMETHODIMP_(ULONG) Release() noexcept override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IOleClientSite
  STDMETHODIMP SaveObject() noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** container) noexcept override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() noexcept override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() noexcept override { return E_NOTIMPL; }

  // IOleWindow (shared by the in-place site and the frame)
  STDMETHODIMP GetWindow(HWND* window) noexcept override {
    if (!window) return E_POINTER;
    *window = host_;
    return host_ ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() noexcept override { return host_ ? S_OK : S_FALSE; }
  STDMETHODIMP OnInPlaceActivate() noexcept override { return S_OK; }
  STDMETHODIMP OnUIActivate() noexcept override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip,
                                LPOLEINPLACEFRAMEINFO info) noexcept override {
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    GetClientRect(host_, position);
    *clip = *position;
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(host_, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() noexcept override {
    active_.reset();
    return S_OK;
  }
  STDMETHODIMP DiscardUndoState() noexcept override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() noexcept override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) noexcept override { return S_OK; }

  // IOleInPlaceUIWindow / IOleInPlaceFrame
  STDMETHODIMP GetBorder(LPRECT) noexcept override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) noexcept override {
    return INPLACE_E_NOTOOLSPACE;
  }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) noexcept override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) noexcept override {
    if (object) object->AddRef();
    active_.attach(object);
    return S_OK;
  }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) noexcept override { return S_OK; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) noexcept override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) noexcept override { return S_OK; }
  STDMETHODIMP SetStatusText(LPCOLESTR) noexcept override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) noexcept override { return S_FALSE; }

 private:
  LONG references_ = 1;
  HWND host_;
  ComPtr<IOleInPlaceActiveObject> active_;
};

namespace {

void Check(HRESULT hr, const char* step) {
  OleCheck(hr, std::string("The browser control failed to ") + step);
}

}  // namespace

WebBrowserPeer::WebBrowserPeer(fw::TWebBrowser& browser) : WindowPeer(browser) {}

void WebBrowserPeer::Created() {
  site_.attach(new BrowserSite(Handle()));
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
}

WebBrowserPeer::~WebBrowserPeer() {
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
  OleCheck(browser_->Navigate(address.get(), &omitted, &omitted, &omitted, &omitted));
}

void WebBrowserPeer::Stop() {
  if (!browser_) throw fw::Exception("The browser control is not running");
  Check(browser_->Stop(), "stop");
}

void WebBrowserPeer::ClearBrowsingData() { ClearInternetStorage(); }

LRESULT WebBrowserPeer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE && inPlace_) {
    RECT area{0, 0, LOWORD(lParam), HIWORD(lParam)};
    inPlace_->SetObjectRects(&area, &area);
    return 0;
  }
  return WindowPeer::HandleMessage(message, wParam, lParam);
}

}  // namespace fw::win32
