#pragma once

#include <vector>

#include "framework/core/Component.h"

namespace fw {

class TAction;
class TControl;

// The standard gestures a stroke can be recognised as.
enum class TStandardGesture { sgiNoGesture = 0, sgiUp = 1 };

// Binds gestures made on a control to actions.
class TGestureManager : public TComponent {
 public:
  using TComponent::TComponent;
  struct Binding {
    TControl* Control = nullptr;
    TStandardGesture Gesture = TStandardGesture::sgiNoGesture;
    TAction* Action = nullptr;
  };
  std::vector<Binding> Bindings;
  // The action bound to `gesture` for `control`, or none.
  TAction* FindAction(const TControl* control, TStandardGesture gesture) const;
};

}  // namespace fw
