#pragma once

namespace fw {

// The system's own touch gestures a control accepts, as opposed to the strokes the
// framework recognises itself.
struct TTouchGestures {
  bool Pan = false;
  bool PressAndTap = true;
  bool Zoom = false;
  bool Rotate = false;
  bool TwoFingerTap = false;
};

// What every control asks for. Pan would be offered only while a control shows a scroll bar,
// and none here ever does; with pan off a finger's drag arrives as left-button input and so
// reaches the stroke recogniser. Press-and-tap stays the system's default.
inline constexpr TTouchGestures ControlTouchGestures{};

}  // namespace fw
