// Prints where the on-screen keyboard puts each key, from the program's own layout data and
// placement, for the tests that tap them: "height H", then "page id left top width height"
// per key (panel pixels) of each page.
// Usage: keyboard_keys PURPOSE WIDTH PIXELS_PER_INCH   (PURPOSE: text, email, url, phone)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/core/KeyboardGeometry.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: keyboard_keys PURPOSE WIDTH PIXELS_PER_INCH\n");
    return 2;
  }
  const std::string name = argv[1];
  const fw::TInputPurpose purpose = name == "email"   ? fw::TInputPurpose::Email
                                    : name == "url"   ? fw::TInputPurpose::Url
                                    : name == "phone" ? fw::TInputPurpose::Phone
                                                      : fw::TInputPurpose::FreeForm;
  const int width = std::atoi(argv[2]), pixelsPerInch = std::atoi(argv[3]);
  std::printf("height %d\n", fw::KeyboardHeight(pixelsPerInch));
  for (fw::TKeyboardPageId page : {fw::TKeyboardPageId::Russian, fw::TKeyboardPageId::English,
                                   fw::TKeyboardPageId::Symbols, fw::TKeyboardPageId::Digits}) {
    const auto rows = fw::KeyboardPage(page, purpose);
    for (const fw::TKeyPlace& place : fw::PlaceKeys(rows, width, pixelsPerInch)) {
      const fw::TBounds& b = place.Bounds;
      std::printf("%s %s %d %d %d %d\n", std::string(fw::PageName(page)).c_str(),
                  rows[place.Row][place.Index].Id.c_str(), b.Left, b.Top, b.Width, b.Height);
    }
  }
  return 0;
}
