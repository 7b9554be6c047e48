#pragma once

#include "framework/core/Bitmap.h"
#include "framework/core/Control.h"

namespace fw {

enum class TBevelCut { bvNone, bvLowered, bvRaised };

// A container that paints its background and, centred both ways, its caption.
class TPanel : public TWinControl {
 public:
  using TWinControl::TWinControl;
  TBevelCut BevelOuter = TBevelCut::bvRaised;
  TControlKind Kind() const override { return TControlKind::Panel; }
  bool TakesPartInGestures() const override { return true; }
};

class TButton : public TWinControl {
 public:
  using TWinControl::TWinControl;
  TControlKind Kind() const override { return TControlKind::Button; }
  bool TabStop() const override { return true; }
};

// Shows a picture; with Center set and Stretch clear, at its own size centred in the cell.
class TImage : public TControl {
 public:
  using TControl::TControl;
  TBitmap Picture;
  bool Center = false;
  bool Stretch = false;
  TControlKind Kind() const override { return TControlKind::Image; }
  bool TakesPartInGestures() const override { return true; }
  // Where the picture's top-left corner lies inside the control.
  TPoint PictureOrigin() const;
};

enum class TSplitViewPlacement { svpLeft, svpRight };

// A navigation pane docked to one edge; it stays open, so its width is OpenedWidth.
class TSplitView : public TWinControl {
 public:
  using TWinControl::TWinControl;
  int OpenedWidth = 200;
  TSplitViewPlacement Placement = TSplitViewPlacement::svpLeft;
  TControlKind Kind() const override { return TControlKind::SplitView; }
  bool TakesPartInGestures() const override { return true; }
  void ChangeScale(int numerator, int denominator) override;
};

}  // namespace fw
