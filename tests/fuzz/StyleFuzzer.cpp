#include <cstddef>
#include <cstdint>

#include "framework/core/Style.h"
#include "tests/fuzz/Require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto style = fw::DecodeStyle({data, size});
  if (style) {
    Require(!style->Name.empty());
    for (fw::TButtonState state :
         {fw::TButtonState::Normal, fw::TButtonState::Hot, fw::TButtonState::Focused,
          fw::TButtonState::Pressed, fw::TButtonState::Disabled}) {
      fw::ButtonLook(*style, state);
    }
  }
  return 0;
}
