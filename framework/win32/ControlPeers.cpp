#include "framework/win32/ControlPeers.h"

#include <windowsx.h>

#include <vector>

#include "framework/core/Application.h"
#include "framework/core/Bitmap.h"
#include "framework/core/CaptionFit.h"
#include "framework/core/StyleManager.h"
#include "framework/core/StyleRules.h"
#include "framework/win32/FontFaces.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

namespace {

// Paints into an off-screen bitmap first, so that nothing flickers.
template <class Painter>
void PaintBuffered(HWND window, Painter paint) {
  PaintDc dc(window);
  if (!dc.get()) return;
  RECT client;
  GetClientRect(window, &client);
  UniqueMemoryDc memory(CreateCompatibleDC(dc.get()));
  UniqueBitmap bitmap(CreateCompatibleBitmap(dc.get(), client.right, client.bottom));
  if (!memory || !bitmap) {
    paint(dc.get(), client);
    return;
  }
  SelectedObject selected(memory.get(), bitmap.get());
  paint(memory.get(), client);
  BitBlt(dc.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

// A caption in one line, centred both ways, over what is already drawn.
void DrawCaption(HDC dc, HFONT font, COLORREF color, const std::string& caption, RECT area) {
  if (caption.empty()) return;
  const std::wstring text = Widen(caption);
  SelectedObject selected(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, color);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// The control's font at other sizes, made as they are asked for.
class FontSizes {
 public:
  FontSizes(const fw::TFont& font, HFONT own) : font_(font), own_(own) {}
  HFONT At(int size) {
    if (size == std::abs(font_.Height)) return own_;
    if (size != size_) {
      other_ = CreateFontOf(font_, font_.Height < 0 ? -size : size, kFallbackFontFace);
      size_ = size;
    }
    return other_ ? other_.get() : own_;
  }

 private:
  const fw::TFont& font_;
  HFONT own_;
  UniqueFont other_;
  int size_ = 0;
};

// The caption in the largest size that fits `area`, shortened only when even the smallest
// does not.
void DrawFittedCaption(HDC dc, const fw::TFont& font, HFONT own, COLORREF color,
                       const std::string& caption, RECT area) {
  FontSizes sizes(font, own);
  const fw::TCaptionFit fit = fw::FitCaption(
      caption, area.right - area.left, std::abs(font.Height), [&](std::string_view text, int size) {
        SelectedObject selected(dc, sizes.At(size));
        const std::wstring wide = Widen(text);
        SIZE extent{};
        // Unmeasured, the caption is drawn as it is rather than not at all.
        if (!GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent))
          return 0;
        return static_cast<int>(extent.cx);
      });
  DrawCaption(dc, sizes.At(fit.Size), color, fit.Text, area);
}

}  // namespace

LRESULT ContainerPeer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PaintBuffered(Handle(), [this](HDC dc, const RECT& client) {
      FillBackground(dc, client);
      if (auto* panel = dynamic_cast<fw::TPanel*>(&Control());
          panel && panel->BevelOuter != fw::TBevelCut::bvNone) {
        RECT edge = client;
        DrawEdge(dc, &edge,
                 panel->BevelOuter == fw::TBevelCut::bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER,
                 BF_RECT);
      }
      DrawCaption(dc, Font(),
                  ToColorRef(fw::CaptionColorOf(Control(), fw::TStyleManager::ActiveStyle())),
                  Control().Caption(), client);
    });
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;  // WM_PAINT fills everything
  return WindowPeer::HandleMessage(message, wParam, lParam);
}

LRESULT ImagePeer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintBuffered(Handle(), [this](HDC dc, const RECT& client) {
        FillBackground(dc, client);
        Paint(dc);
      });
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      pressed_ = true;
      SetCapture(Handle());
      return 0;
    case WM_LBUTTONUP: {
      if (!pressed_) return 0;
      pressed_ = false;
      ReleaseCapture();
      RECT client;
      GetClientRect(Handle(), &client);
      const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      // A release that ends a stroke is a gesture, not a click.
      if (PtInRect(&client, at) && !ReleaseEndsStroke())
        fw::Application->Guard([this] { image_.Click(); });
      return 0;
    }
    case WM_CAPTURECHANGED:
      // Only another window taking the mouse cancels the press.
      if (reinterpret_cast<HWND>(lParam) != Handle()) pressed_ = false;
      return 0;
  }
  return WindowPeer::HandleMessage(message, wParam, lParam);
}

void ImagePeer::Paint(HDC dc) {
  const fw::TBitmap& picture = image_.Picture;
  if (picture.Empty()) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.Width;
  info.bmiHeader.biHeight = -picture.Height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap dib(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib || !bits) return;
  // Alpha blending wants premultiplied BGRA.
  fw::WritePremultipliedBgra(picture, static_cast<std::uint8_t*>(bits),
                             static_cast<std::size_t>(picture.Width) * 4);
  UniqueMemoryDc source(CreateCompatibleDC(dc));
  if (!source) return;
  SelectedObject selected(source.get(), dib.get());
  const fw::TPoint origin = image_.PictureOrigin();
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const fw::TBounds& cell = image_.Bounds();
  if (image_.Stretch) {
    GdiAlphaBlend(dc, 0, 0, cell.Width, cell.Height, source.get(), 0, 0, picture.Width,
                  picture.Height, blend);
  } else {
    GdiAlphaBlend(dc, origin.X, origin.Y, picture.Width, picture.Height, source.get(), 0, 0,
                  picture.Width, picture.Height, blend);
  }
}

DWORD ButtonPeer::Style() const {
  // Under a style the button draws itself in the style's colours.
  return WindowPeer::Style() | WS_TABSTOP |
         (fw::TStyleManager::ActiveStyle() ? BS_OWNERDRAW : BS_PUSHBUTTON);
}

LRESULT ButtonPeer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
      if (!hot_) {
        hot_ = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        InvalidateRect(Handle(), nullptr, FALSE);
      }
      break;
    case WM_MOUSELEAVE:
      hot_ = false;
      InvalidateRect(Handle(), nullptr, FALSE);
      break;
    case WM_SETFOCUS:
      // A push button takes no text: keep the input panel out of the way.
      if (TextInputPanel()) TextInputPanel()->SetInPlaceVisibility(FALSE);
      InvalidateRect(Handle(), nullptr, FALSE);
      break;
    case WM_KILLFOCUS:
      InvalidateRect(Handle(), nullptr, FALSE);
      break;
  }
  return WindowPeer::HandleMessage(message, wParam, lParam);
}

void ButtonPeer::DrawItem(const DRAWITEMSTRUCT& item) {
  const fw::TStyle* style = fw::TStyleManager::ActiveStyle();
  if (!style) return;
  const fw::TButtonState state =
      fw::ButtonStateOf(!(item.itemState & ODS_DISABLED), item.itemState & ODS_SELECTED,
                        GetFocus() == Handle(), hot_);
  const fw::TButtonLook look = fw::ButtonLook(*style, state);
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  UniqueBrush face(CreateSolidBrush(look.Face ? ToColorRef(*look.Face) : BackgroundColorRef()));
  FillRect(dc, &area, face.get());
  UniqueBrush border(CreateSolidBrush(ToColorRef(look.Border)));
  for (int i = 0; i < look.BorderWidth; ++i) {
    RECT ring{area.left + i, area.top + i, area.right - i, area.bottom - i};
    FrameRect(dc, &ring, border.get());
  }
  const RECT inside{area.left + look.BorderWidth, area.top + look.BorderWidth,
                    area.right - look.BorderWidth, area.bottom - look.BorderWidth};
  DrawFittedCaption(dc, Control().EffectiveFont(), Font(), ToColorRef(look.Text),
                    Control().Caption(), inside);
}

}  // namespace fw::win32
