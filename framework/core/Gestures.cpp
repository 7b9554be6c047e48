#include "framework/core/Gestures.h"

#include "framework/core/Actions.h"
#include "framework/core/Form.h"
#include "framework/core/GestureManager.h"

namespace fw {

void DispatchStroke(TControl& tracker, TStrokeVerdict verdict, TPoint location) {
  if (verdict == TStrokeVerdict::TooShort) return;
  TControl* top = &tracker;
  while (top->Parent()) top = top->Parent();
  auto* form = dynamic_cast<TForm*>(top);
  if (!form) return;
  if (verdict == TStrokeVerdict::SwipeUp && form->GestureManager) {
    for (TControl* c = &tracker; c; c = c->Parent()) {
      if (TAction* action = form->GestureManager->FindAction(c, TStandardGesture::sgiUp)) {
        action->Execute();
        return;
      }
    }
  }
  if (form->OnGesture) {
    bool handled = false;
    form->OnGesture(form, {static_cast<int>(TStandardGesture::sgiNoGesture), location}, handled);
  }
}

}  // namespace fw
