#pragma once

#include <string>

#include "framework/core/StandardControls.h"
#include "framework/win32/WindowPeer.h"

namespace fw::win32 {

// Panels and the split view: a background and, centred both ways, the caption.
class ContainerPeer : public WindowPeer {
 public:
  // Its window class names its kind: "TSplitView" or "TPanel".
  explicit ContainerPeer(fw::TControl& control)
      : WindowPeer(control),
        className_(control.Kind() == fw::TControlKind::SplitView ? L"TSplitView" : L"TPanel") {}

 protected:
  std::wstring ClassName() const override { return className_; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::wstring className_;
};

// A push button: the system's button, superclassed under the framework's class name.
class ButtonPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;

 protected:
  std::wstring ClassName() const override { return L"TButton"; }
  const wchar_t* SystemClass() const override { return L"BUTTON"; }
  DWORD Style() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  bool hot_ = false;  // under the pointer
};

// A picture drawn with its alpha channel; a click inside raises OnClick.
class ImagePeer : public WindowPeer {
 public:
  explicit ImagePeer(fw::TImage& image) : WindowPeer(image), image_(image) {}

 protected:
  std::wstring ClassName() const override { return L"TImage"; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC dc);
  fw::TImage& image_;
  bool pressed_ = false;
};

}  // namespace fw::win32
