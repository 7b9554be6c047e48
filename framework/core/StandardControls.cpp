#include "framework/core/StandardControls.h"

#include "framework/core/Scaling.h"

namespace fw {

TPoint TImage::PictureOrigin() const {
  if (!Center) return {0, 0};
  return {(Bounds().Width - Picture.Width) / 2, (Bounds().Height - Picture.Height) / 2};
}

void TSplitView::ChangeScale(int numerator, int denominator) {
  OpenedWidth = MulDiv(OpenedWidth, numerator, denominator);
  TWinControl::ChangeScale(numerator, denominator);
}

}  // namespace fw
