#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace fw {

// The width in device pixels of `text` drawn in the control's font at `size` device pixels.
using TTextWidth = std::function<int(std::string_view text, int size)>;

struct TCaptionFit {
  int Size = 0;      // the font's character height, device pixels
  std::string Text;  // the caption, or its two ends around an ellipsis

  bool operator==(const TCaptionFit&) const = default;
};

// The space kept clear at each end of a caption, so that it never touches a border.
int CaptionMargin(int size);

// The smallest size a caption shrinks to before it is shortened.
int CaptionFloor(int size);

// How a one-line caption is drawn inside `width` device pixels: in its own `size` when it
// fits, else in the largest smaller size down to the floor that fits, else at the floor with
// the middle replaced by an ellipsis, so that both ends of a domain stay readable. Nothing
// when not even the ellipsis fits.
TCaptionFit FitCaption(std::string_view caption, int width, int size, const TTextWidth& measure);

}  // namespace fw
