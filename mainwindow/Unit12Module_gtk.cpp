#include "mainwindow/Unit12Module_gtk.h"

#include <gtk/gtk.h>

#include "framework/core/CallbackBoundary.h"
#include "framework/core/PopupMenu.h"
#include "framework/gtk/WidgetPeer.h"
#include "mainwindow/RightClickFilter.h"

namespace Unit12 {

namespace {

HookedMouseMessage MessageOf(const GdkEvent& event) {
  if (event.type != GDK_BUTTON_PRESS && event.type != GDK_2BUTTON_PRESS &&
      event.type != GDK_3BUTTON_PRESS && event.type != GDK_BUTTON_RELEASE)
    return HookedMouseMessage::Other;
  if (event.button.button != GDK_BUTTON_SECONDARY) return HookedMouseMessage::Other;
  return event.type == GDK_BUTTON_RELEASE ? HookedMouseMessage::RightButtonUp
                                          : HookedMouseMessage::RightButtonDown;
}

// True when the event is discarded: it then never reaches a widget, the engine included.
bool Discards(GdkEvent* event) {
  const HookedMouseMessage message = MessageOf(*event);
  if (message == HookedMouseMessage::Other) return false;
  GtkWidget* widget = gtk_get_event_widget(event);
  fw::TControl* control = widget ? fw::gtk::WidgetPeer::FindControl(widget) : nullptr;
  const RightClickDecision decision = DecideRightClick(true, message, control);
  if (decision.ShowPopupMenu) {
    // A menu that fails still leaves the click discarded.
    try {
      const fw::gtk::WidgetPeer* peer = fw::gtk::PeerOf(*control);
      const int scale = peer ? peer->ScaleFactor() : 1;
      control->PopupMenu->PopupComponent = control;
      control->PopupMenu->Popup(static_cast<int>(event->button.x_root * scale),
                                static_cast<int>(event->button.y_root * scale));
    } catch (...) {
      fw::ReportCurrentException();
    }
  }
  return decision.Discard;
}

}  // namespace

void Initialization(fw::gtk::PlatformApplication& application) {
  application.SetEventFilter(Discards);
}

}  // namespace Unit12
