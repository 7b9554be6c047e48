#include "framework/core/GestureManager.h"

namespace fw {

TAction* TGestureManager::FindAction(const TControl* control, TStandardGesture gesture) const {
  for (const Binding& b : Bindings) {
    if (b.Control == control && b.Gesture == gesture) return b.Action;
  }
  return nullptr;
}

}  // namespace fw
