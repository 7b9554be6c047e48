#pragma once

#include <windows.h>

#include <string>

#include "framework/core/Control.h"
#include "framework/core/StrokeTracker.h"
#include "framework/win32/Handles.h"
#include "framework/win32/TextInputPanel.h"

namespace fw::win32 {

// Stands in for a font face the system does not have.
inline constexpr wchar_t kFallbackFontFace[] = L"Segoe UI";

// A control's native window. Created in two steps (construct, then Create) so that the
// window's first messages already reach the fully built peer.
class WindowPeer : public fw::ControlPeer {
 public:
  explicit WindowPeer(fw::TControl& control) : control_(control) {}
  ~WindowPeer() override;
  WindowPeer(const WindowPeer&) = delete;
  WindowPeer& operator=(const WindowPeer&) = delete;

  void Create(HWND parent);
  HWND Handle() const { return window_.get(); }
  fw::TControl& Control() const { return control_; }

  void BoundsChanged() override;
  void VisibleChanged() override;
  void AppearanceChanged() override;
  void BringToFront() override;
  void SetFocus() override;
  bool Focused() const override;

  // The peer of a window created by this backend, or none.
  static WindowPeer* FromHandle(HWND window);

 protected:
  // The window class to register and create, and the system class it extends, if any.
  virtual std::wstring ClassName() const;
  virtual const wchar_t* SystemClass() const { return nullptr; }
  virtual DWORD Style() const;
  virtual DWORD ExStyle() const { return 0; }
  virtual RECT InitialRect() const;
  virtual void Created() {}
  // The icon of the window class; only top-level windows show one (and giving the small one
  // spares the system from shrinking the big one for every class).
  virtual HICON ClassIcon(bool /*small*/) const { return nullptr; }
  // In touch-first mode every window of a control gets the Text Input Panel, except those
  // of the browser control, which makes its own.
  virtual bool AttachesTextInputPanel() const { return true; }
  ITextInputPanel* TextInputPanel() const { return textInputPanel_.get(); }
  // True while handling the button release that ended a stroke of three samples or more.
  bool ReleaseEndsStroke() const { return releaseVerdict_ != fw::TStrokeVerdict::TooShort; }

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
  HFONT Font() const { return font_.get(); }
  // Paints the background in the control's colour, the active style's where there is one.
  void FillBackground(HDC dc, const RECT& area) const;
  COLORREF BackgroundColorRef() const;
  // Draws an owner-drawn window; the parent passes WM_DRAWITEM on.
  virtual void DrawItem(const DRAWITEMSTRUCT&) {}

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void UpdateFont();
  // Tracks left-button strokes on controls that take part in gestures.
  void TrackStroke(UINT message, LPARAM lParam);

  fw::TControl& control_;
  WNDPROC baseProcedure_ = DefWindowProcW;
  UniqueWindow window_;
  UniqueFont font_;
  ComPtr<ITextInputPanel> textInputPanel_;
  fw::TStrokeTracker stroke_;
  // The verdict of the stroke the release being handled ends, until it is dispatched.
  fw::TStrokeVerdict releaseVerdict_ = fw::TStrokeVerdict::TooShort;
};

// Resolves a layout colour, system colours included.
COLORREF ToColorRef(fw::TColor color);

}  // namespace fw::win32
