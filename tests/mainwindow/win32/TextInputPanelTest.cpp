#include <set>
#include <vector>

#include "framework/win32/TextInputPanel.h"
#include "tests/mainwindow/win32/Form12Fixture.h"
#include "tests/support/win32/ScriptedRun.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using fw::win32::ITextInputPanel;
using namespace testing_win32;

// What the program asked of the input panels it was given.
std::vector<HWND> attached;
int inPlaceHidden = 0;

// A stand-in for the system's Text Input Panel, registered for this process only.
class RecordingPanel final : public ITextInputPanel {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, fw::win32::IID_ITextInputPanel)) {
      *object = static_cast<ITextInputPanel*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (!left) delete this;
    return left;
  }
  STDMETHODIMP put_AttachedEditWindow(HWND window) override {
    attached.push_back(window);
    return S_OK;
  }
  STDMETHODIMP SetInPlaceVisibility(BOOL visible) override {
    if (!visible) ++inPlaceHidden;
    return S_OK;
  }
  STDMETHODIMP get_AttachedEditWindow(HWND*) override { return E_NOTIMPL; }
  STDMETHODIMP get_CurrentInteractionMode(int*) override { return E_NOTIMPL; }
  STDMETHODIMP get_DefaultInPlaceState(int*) override { return E_NOTIMPL; }
  STDMETHODIMP put_DefaultInPlaceState(int) override { return E_NOTIMPL; }
  STDMETHODIMP get_CurrentInPlaceState(int*) override { return E_NOTIMPL; }
  STDMETHODIMP get_DefaultInputArea(int*) override { return E_NOTIMPL; }
  STDMETHODIMP put_DefaultInputArea(int) override { return E_NOTIMPL; }
  STDMETHODIMP get_CurrentInputArea(int*) override { return E_NOTIMPL; }
  STDMETHODIMP get_CurrentCorrectionMode(int*) override { return E_NOTIMPL; }
  STDMETHODIMP get_PreferredInPlaceDirection(int*) override { return E_NOTIMPL; }
  STDMETHODIMP put_PreferredInPlaceDirection(int) override { return E_NOTIMPL; }
  STDMETHODIMP get_ExpandPostInsertionCorrection(BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_ExpandPostInsertionCorrection(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_InPlaceVisibleOnFocus(BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_InPlaceVisibleOnFocus(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_InPlaceBoundingRectangle(RECT*) override { return E_NOTIMPL; }
  STDMETHODIMP get_PopUpCorrectionHeight(int*) override { return E_NOTIMPL; }
  STDMETHODIMP get_PopDownCorrectionHeight(int*) override { return E_NOTIMPL; }
  STDMETHODIMP CommitPendingInput() override { return E_NOTIMPL; }
  STDMETHODIMP SetInPlacePosition(int, int, int) override { return E_NOTIMPL; }
  STDMETHODIMP SetInPlaceHoverTargetPosition(int, int) override { return E_NOTIMPL; }
  STDMETHODIMP Advise(IUnknown*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Unadvise(IUnknown*) override { return E_NOTIMPL; }

 private:
  ULONG references_ = 1;
};

class PanelFactory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // lives as long as the test
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* panel = new RecordingPanel;
    const HRESULT hr = panel->QueryInterface(riid, object);
    panel->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

PanelFactory factory;

class TouchFirst : public Form12Fixture {
 protected:
  DWORD cookie_ = 0;
  void BeforeStartupBlock() override {
    ASSERT_EQ(CoRegisterClassObject(fw::win32::CLSID_TextInputPanel, &factory, CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie_),
              S_OK);
  }
  void TearDown() override {
    CoRevokeClassObject(cookie_);
    Form12Fixture::TearDown();
  }
};

TEST_F(TouchFirst, EveryControlWindowButTheBrowsersGetsAnInputPanel) {
  const std::set<HWND> expected{WindowOf(Form12),
                                WindowOf(Form12->AppBar),
                                WindowOf(Form12->CloseButton),
                                WindowOf(Form12->SplitView1),
                                WindowOf(Form12->Button1),
                                WindowOf(Form12->Button2),
                                WindowOf(Form12->Button3),
                                WindowOf(Form12->Button4),
                                WindowOf(Form12->Button5),
                                WindowOf(Form12->Button6),
                                WindowOf(Form12->PanelZastava)};
  EXPECT_EQ(std::set<HWND>(attached.begin(), attached.end()), expected);
  EXPECT_EQ(attached.size(), expected.size()) << "one panel a window";
}

TEST_F(TouchFirst, APushButtonTakingTheFocusSwitchesTheInPlacePanelOff) {
  int afterBrowser = -1, afterButton = -1;
  RunWithScript(application, [&] {
    PumpUntil([&] { return IsWindowVisible(WindowOf(Form12)) != FALSE; });
    SetForegroundWindow(WindowOf(Form12));
    Form12->WebBrowser1->SetFocus();
    PumpFor(std::chrono::milliseconds(100));
    afterBrowser = inPlaceHidden;
    Form12->Button2->SetFocus();
    PumpFor(std::chrono::milliseconds(100));
    afterButton = inPlaceHidden;
    application.Terminate();
  });
  EXPECT_EQ(afterButton, afterBrowser + 1);
}

}  // namespace
