#include "framework/core/Form.h"

namespace fw {

const THandler* Publisher::FindHandler(const std::string& name) const {
  auto it = handlers_.find(name);
  return it == handlers_.end() ? nullptr : &it->second;
}

TForm::~TForm() {
  // Controls (and their native windows) go before the form's own window.
  DestroyComponents();
  ReleasePeer();
}

void TForm::ClientResized(int width, int height) {
  const TBounds& b = Bounds();
  PlaceAt({b.Left, b.Top, width, height});
  if (OnResize) OnResize(this);
}

void TForm::ScaleForPixelsPerInch(int pixelsPerInch) {
  if (pixelsPerInch == PixelsPerInch || pixelsPerInch <= 0) return;
  ChangeScale(pixelsPerInch, PixelsPerInch);
  PixelsPerInch = pixelsPerInch;
}

}  // namespace fw
