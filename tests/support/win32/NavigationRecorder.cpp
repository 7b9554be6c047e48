#include "tests/support/win32/NavigationRecorder.h"

#include <exdispid.h>
#include <ocidl.h>

#include <stdexcept>

#include "framework/win32/Unicode.h"

namespace testing_win32 {

NavigationRecorder::NavigationRecorder(IWebBrowser2* browser) {
  fw::win32::ComPtr<IConnectionPointContainer> container;
  if (!browser ||
      FAILED(browser->QueryInterface(IID_IConnectionPointContainer, container.put_void())) ||
      FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point_.put())) ||
      FAILED(point_->Advise(this, &cookie_))) {
    throw std::runtime_error("cannot listen to the browser control's navigations");
  }
}

NavigationRecorder::~NavigationRecorder() {
  if (point_ && cookie_) point_->Unadvise(cookie_);
}

HRESULT NavigationRecorder::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT NavigationRecorder::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return S_OK;
}

HRESULT NavigationRecorder::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT NavigationRecorder::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT NavigationRecorder::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                   EXCEPINFO*, UINT*) {
  // BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel): the
  // arguments arrive last first.
  if (id != DISPID_BEFORENAVIGATE2 || !parameters || parameters->cArgs != 7) return S_OK;
  try {
    const VARIANT& url = parameters->rgvarg[5];
    const VARIANT& cancel = parameters->rgvarg[0];
    const VARIANT* text = url.vt == (VT_BYREF | VT_VARIANT) ? url.pvarVal : &url;
    if (!text || text->vt != VT_BSTR || cancel.vt != (VT_BYREF | VT_BOOL)) return S_OK;
    const std::string address = fw::win32::Narrow(text->bstrVal ? text->bstrVal : L"");
    addresses_.push_back(address);
    if (!OnLoopback(address) && address != "about:blank") {
      *cancel.pboolVal = VARIANT_TRUE;
      cancelled_.push_back(address);
    }
  } catch (...) {
    return E_FAIL;
  }
  return S_OK;
}

bool OnLoopback(const std::string& address) {
  for (const char* prefix :
       {"http://127.0.0.1:", "http://127.0.0.1/", "http://localhost:", "http://localhost/"}) {
    if (address.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

}  // namespace testing_win32
