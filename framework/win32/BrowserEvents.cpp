#include "framework/win32/BrowserEvents.h"

#include "framework/core/CallbackBoundary.h"
#include "framework/win32/ComObject.h"
#include "framework/win32/Errors.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

// DWebBrowserEvents2 as the control calls it. It outlives its owner only while the control
// holds it, and then forwards nothing.
class BrowserEvents::Dispatcher final : public ComObject<IDispatch> {
 public:
  explicit Dispatcher(BrowserEvents* owner) : owner_(owner) {}
  void Detach() { owner_ = nullptr; }

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
  void* InterfaceFor(REFIID iid) noexcept override {
    const bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
                       IsEqualIID(iid, DIID_DWebBrowserEvents2);
    return known ? static_cast<IDispatch*>(this) : nullptr;
  }

  BrowserEvents* owner_;
};

BrowserEvents::BrowserEvents(IWebBrowser2* control) {
  OleCheck(control->QueryInterface(IID_IUnknown, identity_.put_void()),
           "The browser control has no identity");
  sink_.attach(new Dispatcher(this));
  ComPtr<IConnectionPointContainer> container;
  OleCheck(control->QueryInterface(IID_IConnectionPointContainer, container.put_void()),
           "The browser control offers no events");
  OleCheck(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point_.put()),
           "The browser control offers no navigation events");
  OleCheck(point_->Advise(sink_.get(), &cookie_), "The browser control refused a listener");
}

BrowserEvents::~BrowserEvents() {
  if (point_ && cookie_) point_->Unadvise(cookie_);
  sink_->Detach();
}

IDispatch* BrowserEvents::Sink() const { return sink_.get(); }

void BrowserEvents::Event(DISPID id, DISPPARAMS& parameters) {
  for (const Listener& listener : listeners_) listener(id, parameters);
}

bool BrowserEvents::TopLevel(const VARIANT& frame) const {
  const VARIANT& value = EventValue(frame);
  if (value.vt != VT_DISPATCH || !value.pdispVal) return false;
  ComPtr<IUnknown> identity;
  return SUCCEEDED(value.pdispVal->QueryInterface(IID_IUnknown, identity.put_void())) &&
         identity.get() == identity_.get();
}

const VARIANT& EventValue(const VARIANT& argument) {
  return argument.vt == (VT_BYREF | VT_VARIANT) && argument.pvarVal ? *argument.pvarVal : argument;
}

std::string EventText(const VARIANT& argument) {
  const VARIANT& value = EventValue(argument);
  return value.vt == VT_BSTR && value.bstrVal ? Narrow(value.bstrVal) : std::string();
}

VARIANT_BOOL* EventCancel(const VARIANT& argument) {
  return argument.vt == (VT_BYREF | VT_BOOL) ? argument.pboolVal : nullptr;
}

}  // namespace fw::win32
