#pragma once

#include "framework/core/Geometry.h"
#include "framework/core/Strokes.h"

namespace fw {

class TControl;

// What the end of a stroke tracked by `tracker` does: a swipe-up executes the action bound to
// it for the tracker or one of its parents; a stroke that matches nothing bound raises the
// form's OnGesture with no gesture identifier; a click raises nothing.
void DispatchStroke(TControl& tracker, TStrokeVerdict verdict, TPoint location);

}  // namespace fw
