#pragma once

#include <windows.h>
#include <docobj.h>
#include <mshtmhst.h>
#include <ole2.h>

#include "framework/core/WebBrowser.h"
#include "framework/win32/ComObject.h"
#include "framework/win32/Handles.h"

namespace fw::win32 {

// Whether a key of the page is one that opens an engine's window or dialog and the browser is
// locked down: then it goes no further, neither to the control nor to the page.
bool SwallowsEngineWindowKey(const MSG& message, bool locked);

// The container side of in-place hosting: the client site, the in-place site and a frame
// that offers nothing (no menus, no toolbars, no status line); and the document host, which
// leaves the control its own ways unless the browser is locked down (then the page's keys and
// commands for the engine's windows and dialogs do nothing). The control calls these through
// COM, which cannot carry an exception: every method is noexcept.
class BrowserSite final : public ComObject<IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame,
                                           IDocHostUIHandler, IDocHostShowUI, IOleCommandTarget> {
 public:
  // `browser`, when given, must outlive the site's attachment (Detach).
  explicit BrowserSite(HWND host, const fw::TWebBrowser* browser = nullptr)
      : host_(host), browser_(browser) {}

  IOleInPlaceActiveObject* ActiveObject() const { return active_.get(); }
  // The program leaves the page whatever it asks: its open dialog is answered as Cancel, and
  // until the navigation has been asked of the control (LeftPage), the question the control
  // asks before leaving a page is answered "leave" without a box.
  void LeavePage() {
    CloseDialog();
    leaving_ = true;
  }
  void LeftPage() { leaving_ = false; }
  void Detach() {
    active_.reset();
    host_ = nullptr;
    browser_ = nullptr;
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

  // IDocHostUIHandler: every answer but the accelerators' is "the control's default".
  STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) noexcept override {
    return S_FALSE;
  }
  STDMETHODIMP GetHostInfo(DOCHOSTUIINFO*) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                      IOleInPlaceUIWindow*) noexcept override {
    return S_FALSE;
  }
  STDMETHODIMP HideUI() noexcept override { return S_OK; }
  STDMETHODIMP UpdateUI() noexcept override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) noexcept override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG message, const GUID*, DWORD) noexcept override;
  STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) noexcept override {
    if (key) *key = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) noexcept override {
    if (target) *target = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetExternal(IDispatch** external) noexcept override {
    if (external) *external = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) noexcept override {
    if (translated) *translated = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** filtered) noexcept override {
    if (filtered) *filtered = nullptr;
    return S_FALSE;
  }

  // IDocHostShowUI: locked down, the page's alert and confirm show in a box of the program's
  // that leaves the navigation buttons working, and the page's help files show nowhere.
  STDMETHODIMP ShowMessage(HWND window, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR,
                           DWORD, LRESULT* result) noexcept override;
  STDMETHODIMP ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) noexcept override {
    return Locked() ? S_OK : S_FALSE;
  }

  // IOleCommandTarget: the document asks its host before it shows a print or page-setup
  // dialog.
  STDMETHODIMP QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) noexcept override {
    return OLECMDERR_E_UNKNOWNGROUP;
  }
  STDMETHODIMP Exec(const GUID* group, DWORD command, DWORD, VARIANT*, VARIANT*) noexcept override;

 private:
  void* InterfaceFor(REFIID iid) noexcept override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
      return static_cast<IOleClientSite*>(this);
    if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
      return static_cast<IOleInPlaceSite*>(this);
    if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame))
      return static_cast<IOleInPlaceFrame*>(this);
    if (IsEqualIID(iid, IID_IDocHostUIHandler)) return static_cast<IDocHostUIHandler*>(this);
    if (IsEqualIID(iid, __uuidof(IDocHostShowUI))) return static_cast<IDocHostShowUI*>(this);
    if (IsEqualIID(iid, IID_IOleCommandTarget)) return static_cast<IOleCommandTarget*>(this);
    return nullptr;
  }
  bool Locked() const { return browser_ && browser_->Lockdown(); }
  void CloseDialog() const;

  HWND host_;
  const fw::TWebBrowser* browser_;
  HWND dialog_ = nullptr;  // the message box of the page's dialog while it shows
  bool leaving_ = false;
  ComPtr<IOleInPlaceActiveObject> active_;
};

}  // namespace fw::win32
