#include "framework/gtk/Input.h"

#include "framework/core/KeyRouting.h"

namespace fw::gtk {

std::uint16_t VirtualKey(guint keyval) {
  switch (keyval) {
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab:
    case GDK_KEY_KP_Tab:
      return fw::vkTab;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      return fw::vkReturn;
    case GDK_KEY_Escape:
      return fw::vkEscape;
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left:
      return fw::vkLeft;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
      return fw::vkUp;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
      return fw::vkRight;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
      return fw::vkDown;
    case GDK_KEY_space:
      return fw::vkSpace;
    case GDK_KEY_Shift_L:
    case GDK_KEY_Shift_R:
      return fw::vkShift;
    case GDK_KEY_Control_L:
    case GDK_KEY_Control_R:
      return fw::vkControl;
    case GDK_KEY_Alt_L:
    case GDK_KEY_Alt_R:
      return fw::vkMenu;
  }
  const guint upper = gdk_keyval_to_upper(keyval);
  if ((upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9'))
    return static_cast<std::uint16_t>(upper);
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24)
    return static_cast<std::uint16_t>(fw::vkF1 + keyval - GDK_KEY_F1);
  return fw::vkUnmapped;
}

fw::TShiftState ShiftStateOf(guint state) {
  fw::TShiftState shift = 0;
  if (state & GDK_SHIFT_MASK) shift |= fw::ssShift;
  if (state & GDK_CONTROL_MASK) shift |= fw::ssCtrl;
  if (state & GDK_MOD1_MASK) shift |= fw::ssAlt;
  return shift;
}

namespace {

InputReport Edge(fw::TInputEdge edge, int source) {
  return {InputReport::Kind::Edge, edge, source, {}};
}

InputReport PointerAt(double xRoot, double yRoot) {
  return {InputReport::Kind::Pointer,
          fw::TInputEdge::Other,
          0,
          {static_cast<int>(xRoot), static_cast<int>(yRoot)}};
}

int TouchPoint(const GdkEventTouch& touch) {
  return kTouchSources +
         static_cast<int>(reinterpret_cast<std::uintptr_t>(touch.sequence) % 0x10000);
}

}  // namespace

InputReport ClassifyInput(const GdkEvent& event) {
  using fw::TInputEdge;
  switch (event.type) {
    case GDK_KEY_PRESS:
      return Edge(TInputEdge::Press, event.key.hardware_keycode);
    case GDK_KEY_RELEASE:
      return Edge(TInputEdge::Release, event.key.hardware_keycode);
    case GDK_BUTTON_PRESS:
    case GDK_2BUTTON_PRESS:
    case GDK_3BUTTON_PRESS:
      return Edge(TInputEdge::Press, kButtonSources + static_cast<int>(event.button.button));
    case GDK_BUTTON_RELEASE:
      return Edge(TInputEdge::Release, kButtonSources + static_cast<int>(event.button.button));
    case GDK_TOUCH_BEGIN:
      return Edge(TInputEdge::Press, TouchPoint(event.touch));
    case GDK_TOUCH_END:
    case GDK_TOUCH_CANCEL:
      return Edge(TInputEdge::Release, TouchPoint(event.touch));
    case GDK_MOTION_NOTIFY:
      return PointerAt(event.motion.x_root, event.motion.y_root);
    // The toolkit holds motion back until its next frame, which a page that paints nothing
    // new may not ask for for a long while; a crossing comes at once.
    case GDK_ENTER_NOTIFY:
    case GDK_LEAVE_NOTIFY:
      return PointerAt(event.crossing.x_root, event.crossing.y_root);
    case GDK_TOUCH_UPDATE:
    case GDK_SCROLL:
    case GDK_TOUCHPAD_SWIPE:
    case GDK_TOUCHPAD_PINCH:
    case GDK_PAD_BUTTON_PRESS:
    case GDK_PAD_BUTTON_RELEASE:
    case GDK_PAD_RING:
    case GDK_PAD_STRIP:
    case GDK_PROXIMITY_IN:
      return Edge(TInputEdge::Other, 0);
    default:
      return {};
  }
}

}  // namespace fw::gtk
