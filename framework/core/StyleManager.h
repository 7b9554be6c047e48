#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/Style.h"

namespace fw {

// Selects the application's visual style among the styles embedded in the executable.
class TStyleManager {
 public:
  struct EmbeddedStyle {
    std::string ResourceName;
    std::vector<std::uint8_t> Data;
  };
  // The platform lists the embedded style resources and shows the "not found" dialog.
  struct Platform {
    std::function<std::vector<EmbeddedStyle>()> ListEmbedded;
    std::function<void(const std::string& text)> ShowNotFound;
  };
  static void SetPlatform(Platform platform);

  // Reads the embedded styles on the first call (throws EStyleError when one is unreadable),
  // then makes the style called `name` (any letter case) the active one. When there is no
  // such style: false, after the error dialog if `showErrorDialog`.
  static bool TrySetStyle(const std::string& name, bool showErrorDialog = true);

  // The style every control is drawn with, or none (the layout's own colours hold).
  static const TStyle* ActiveStyle();

  // Forgets loaded styles and the active one.
  static void Reset();
};

}  // namespace fw
