#include "framework/core/CaptionFit.h"

#include <algorithm>
#include <vector>

namespace fw {

namespace {

constexpr std::string_view kEllipsis = "\u2026";

// Byte offsets where each code point starts, and the text's end.
std::vector<std::size_t> CodePointStarts(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  starts.push_back(text.size());
  return starts;
}

// `kept` code points of `text`, the extra one of an odd count at the front, around an ellipsis.
std::string Shortened(std::string_view text, const std::vector<std::size_t>& starts,
                      std::size_t kept) {
  const std::size_t count = starts.size() - 1;
  const std::size_t head = (kept + 1) / 2;
  const std::size_t tail = kept / 2;
  std::string result(text.substr(0, starts[head]));
  result += kEllipsis;
  result += text.substr(starts[count - tail]);
  return result;
}

}  // namespace

int CaptionMargin(int size) { return std::max(size, 0) / 4; }

int CaptionFloor(int size) { return std::max(1, (size * 2 + 2) / 3); }

TCaptionFit FitCaption(std::string_view caption, int width, int size, const TTextWidth& measure) {
  const int room = width - 2 * CaptionMargin(size);
  const int floor = std::min(size, CaptionFloor(size));
  if (caption.empty()) return {size, {}};
  for (int s = size; s >= floor; --s)
    if (measure(caption, s) <= room) return {s, std::string(caption)};

  const std::vector<std::size_t> starts = CodePointStarts(caption);
  const std::size_t count = starts.size() - 1;
  // The widest shortening that fits: width grows with the code points kept.
  std::size_t low = 0, high = count - 1;
  if (measure(Shortened(caption, starts, 0), floor) > room) return {floor, {}};
  while (low < high) {
    const std::size_t middle = (low + high + 1) / 2;
    if (measure(Shortened(caption, starts, middle), floor) <= room)
      low = middle;
    else
      high = middle - 1;
  }
  return {floor, Shortened(caption, starts, low)};
}

}  // namespace fw
