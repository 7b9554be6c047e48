#include "framework/gtk/Input.h"

#include "framework/core/KeyRouting.h"
#include "framework/gtk/WidgetPeer.h"

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

fw::TInputReport PointerAt(double xRoot, double yRoot) {
  return fw::TInputReport::PointerAt({static_cast<int>(xRoot), static_cast<int>(yRoot)});
}

fw::TInputSource TouchPoint(const GdkEventTouch& touch) {
  return fw::TInputSource::Touch(
      static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(touch.sequence)));
}

fw::TInputSource Button(const GdkEvent& event) {
  GdkDevice* device = gdk_event_get_source_device(&event);
  const GdkInputSource kind = device ? gdk_device_get_source(device) : GDK_SOURCE_MOUSE;
  return kind == GDK_SOURCE_PEN || kind == GDK_SOURCE_ERASER
             ? fw::TInputSource::Pen(event.button.button)
             : fw::TInputSource::Button(event.button.button);
}

}  // namespace

fw::TInputReport ClassifyInput(const GdkEvent& event) {
  using fw::TInputEdge;
  using fw::TInputReport;
  switch (event.type) {
    case GDK_KEY_PRESS:
      return TInputReport::Edge(TInputEdge::Press,
                                fw::TInputSource::Key(event.key.hardware_keycode));
    case GDK_KEY_RELEASE:
      return TInputReport::Edge(TInputEdge::Release,
                                fw::TInputSource::Key(event.key.hardware_keycode));
    case GDK_BUTTON_PRESS:
    case GDK_2BUTTON_PRESS:
    case GDK_3BUTTON_PRESS:
      return TInputReport::Edge(TInputEdge::Press, Button(event));
    case GDK_BUTTON_RELEASE:
      return TInputReport::Edge(TInputEdge::Release, Button(event));
    case GDK_TOUCH_BEGIN:
      return TInputReport::Edge(TInputEdge::Press, TouchPoint(event.touch));
    case GDK_TOUCH_END:
    case GDK_TOUCH_CANCEL:
      return TInputReport::Edge(TInputEdge::Release, TouchPoint(event.touch));
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
      return TInputReport::Edge(TInputEdge::Other);
    default:
      return {};
  }
}

bool RouteKey(GtkWindow* window, const GdkEventKey& event) {
  GtkWidget* focusWidget = gtk_window_get_focus(window);
  fw::TControl* focused = WidgetPeer::FindControl(focusWidget ? focusWidget : GTK_WIDGET(window));
  if (!focused) return false;
  // The web view is the page: what it has the focus for is the page's, and the view takes it
  // after this handler. It hands keys the page left alone back to the window, which routes
  // them here again: still the page's.
  const bool inPage = focused->Kind() == fw::TControlKind::WebBrowser;
  std::uint16_t key = VirtualKey(event.keyval);
  return fw::RouteKey(*focused, inPage, true, key, ShiftStateOf(event.state), {});
}

}  // namespace fw::gtk
