#pragma once

#include <windows.h>
#include <exdisp.h>

#include <string>
#include <vector>

#include "framework/win32/Handles.h"

namespace testing_win32 {

// Listens to a browser control's navigations: records the address of each one it is about to
// start and cancels, before any request, every one that would leave loopback.
class NavigationRecorder : public IDispatch {
 public:
  explicit NavigationRecorder(IWebBrowser2* browser);
  ~NavigationRecorder();
  NavigationRecorder(const NavigationRecorder&) = delete;
  NavigationRecorder& operator=(const NavigationRecorder&) = delete;

  // Every address the control was about to open, in order.
  const std::vector<std::string>& Addresses() const { return addresses_; }
  // Those of them it was kept from opening.
  const std::vector<std::string>& Cancelled() const { return cancelled_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                   EXCEPINFO*, UINT*) override;

 private:
  fw::win32::ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
  ULONG references_ = 0;  // the object lives on the stack: the count only balances
  std::vector<std::string> addresses_, cancelled_;
};

// Whether `address` names a host on loopback (127.0.0.1 or localhost).
bool OnLoopback(const std::string& address);

}  // namespace testing_win32
