#pragma once

#include <windows.h>
#include <unknwn.h>

namespace fw::win32 {

// The IUnknown of an object the program hands to COM: a reference count that deletes the
// object when the last reference goes (the creator holds the first), and QueryInterface over
// the interfaces the object names in InterfaceFor.
template <class... Interfaces>
class ComObject : public Interfaces... {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) noexcept override {
    if (!object) return E_POINTER;
    *object = InterfaceFor(iid);
    if (!*object) return E_NOINTERFACE;
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

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // The object as the interface `iid` (IUnknown included), or null.
  virtual void* InterfaceFor(REFIID iid) noexcept = 0;

 private:
  LONG references_ = 1;
};

}  // namespace fw::win32
