#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/core/Component.h"

namespace fw {

// A context menu a control may hold. Showing it is the platform's business.
class TPopupMenu : public TComponent {
 public:
  using TComponent::TComponent;
  struct Item {
    std::string Caption;
    TNotifyEvent OnClick;
  };
  std::vector<Item> Items;
  // The control the menu was last shown for.
  TComponent* PopupComponent = nullptr;

  // Shows the menu at a screen point; returns once it is closed.
  void Popup(int x, int y);

  using Presenter = std::function<void(TPopupMenu& menu, int x, int y)>;
  // Installed by the platform backend.
  static void SetPresenter(Presenter presenter);
};

}  // namespace fw
