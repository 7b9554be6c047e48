#include "framework/core/WindowAccelerators.h"

namespace fw {

bool OpensEngineWindow(std::uint16_t key, TShiftState shift) {
  constexpr std::uint16_t vkF11 = 0x7A;
  if (key == vkF11) return true;
  // Ctrl+Alt is AltGr on many layouts: a character, not a command.
  if (!(shift & ssCtrl) || (shift & ssAlt)) return false;
  switch (key) {
    case 'N':
    case 'O':
    case 'S':
    case 'P':
    case 'F':
      return true;
    default:
      return false;
  }
}

}  // namespace fw
