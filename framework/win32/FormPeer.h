#pragma once

#include "framework/core/Form.h"
#include "framework/win32/WindowPeer.h"

namespace fw::win32 {

class PlatformApplication;

// The form's top-level window.
class FormPeer : public WindowPeer {
 public:
  FormPeer(fw::TForm& form, PlatformApplication& application)
      : WindowPeer(form), form_(form), application_(application) {}

  void BoundsChanged() override;
  void VisibleChanged() override;

 protected:
  std::wstring ClassName() const override;
  DWORD Style() const override;
  DWORD ExStyle() const override;
  RECT InitialRect() const override;
  HICON ClassIcon(bool small) const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Gives the focus back to the control that had it, or to the first one that can take it.
  void RestoreFocus();

  fw::TForm& form_;
  PlatformApplication& application_;
  HWND lastFocus_ = nullptr;
};

}  // namespace fw::win32
