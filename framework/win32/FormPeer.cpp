#include "framework/win32/FormPeer.h"

#include "framework/win32/PlatformApplication.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

std::wstring FormPeer::ClassName() const { return Widen(form_.ClassName()); }

DWORD FormPeer::Style() const {
  const DWORD frame =
      form_.BorderStyle == fw::TFormBorderStyle::bsNone ? WS_POPUP : WS_OVERLAPPEDWINDOW;
  return frame | WS_CLIPCHILDREN;
}

DWORD FormPeer::ExStyle() const { return application_.MainFormOnTaskBar() ? WS_EX_APPWINDOW : 0; }

RECT FormPeer::InitialRect() const {
  // The layout gives the client size; the window system picks the position when asked to.
  RECT r{0, 0, form_.Bounds().Width, form_.Bounds().Height};
  AdjustWindowRectEx(&r, Style(), FALSE, ExStyle());
  if (form_.Position == fw::TPosition::poDefault) {
    return {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + (r.right - r.left),
            CW_USEDEFAULT + (r.bottom - r.top)};
  }
  return {form_.Bounds().Left, form_.Bounds().Top, form_.Bounds().Left + r.right - r.left,
          form_.Bounds().Top + r.bottom - r.top};
}

namespace {

// The executable's icon, where it carries one, in both sizes, loaded once (shared icons are
// never destroyed).
struct ProgramIcons {
  HICON Big = nullptr;
  HICON Small = nullptr;
};

const ProgramIcons& TheProgramIcons() {
  static const ProgramIcons icons = [] {
    HINSTANCE module = GetModuleHandleW(nullptr);
    ProgramIcons loaded;
    loaded.Big = LoadIconW(module, L"MAINICON");
    if (!loaded.Big) return loaded;
    loaded.Small = static_cast<HICON>(LoadImageW(module, L"MAINICON", IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    if (!loaded.Small) loaded.Small = loaded.Big;
    return loaded;
  }();
  return icons;
}

}  // namespace

// The taskbar button and the task switcher show the class's icon. Setting it on the window
// as well (WM_SETICON) would only cost time at every start.
HICON FormPeer::ClassIcon(bool small) const {
  return small ? TheProgramIcons().Small : TheProgramIcons().Big;
}

void FormPeer::BoundsChanged() {
  // While maximized or minimized the system decides the size.
  if (IsZoomed(Handle()) || IsIconic(Handle())) return;
  RECT r{0, 0, form_.Bounds().Width, form_.Bounds().Height};
  AdjustWindowRectEx(&r, Style(), FALSE, ExStyle());
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormPeer::VisibleChanged() { ShowWindow(Handle(), form_.Visible() ? SW_SHOW : SW_HIDE); }

void FormPeer::RestoreFocus() {
  if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_) &&
      IsWindowVisible(lastFocus_)) {
    ::SetFocus(lastFocus_);
  } else if (fw::TControl* first = form_.FirstFocusable()) {
    first->SetFocus();
  } else {
    ::SetFocus(Handle());
  }
}

LRESULT FormPeer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) {
        const int width = LOWORD(lParam), height = HIWORD(lParam);
        fw::Application->Guard([&] { form_.ClientResized(width, height); });
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
      } else if (!HIWORD(wParam)) {
        RestoreFocus();
      }
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor of another resolution: rescale the layout, take the suggested
      // bounds unless the system decides them, and lay out again in the real client area.
      const int pixelsPerInch = HIWORD(wParam);
      fw::Application->Guard([&] { form_.ScaleForPixelsPerInch(pixelsPerInch); });
      if (!IsZoomed(Handle()) && !IsIconic(Handle())) {
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      RECT client;
      GetClientRect(Handle(), &client);
      fw::Application->Guard([&] { form_.ClientResized(client.right, client.bottom); });
      return 0;
    }
    case WM_CLOSE: {
      // Closing the main form ends the application, unless the form keeps it open.
      bool close = true;
      application_.Guard([&] { close = form_.CloseQuery(); });
      if (close) application_.Terminate();
      return 0;
    }
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) {
        application_.Terminate();
        application_.Halt(0);
      }
      return 0;
  }
  return WindowPeer::HandleMessage(message, wParam, lParam);
}

}  // namespace fw::win32
