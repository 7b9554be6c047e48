#include "framework/gtk/GtkFrameworkApplication.h"

#include <glib-unix.h>

#include <algorithm>
#include <csignal>
#include <cstdint>

#include "framework/core/Exceptions.h"
#include "framework/core/KeyRouting.h"
#include "framework/core/Layout.h"
#include "framework/core/StyleManager.h"
#include "framework/core/WebBrowser.h"
#include "framework/core/CallbackBoundary.h"
#include "framework/gtk/Peers.h"
#include "framework/gtk/PopupMenuPresenter.h"
#include "framework/gtk/Resources.h"
#include "framework/gtk/StyleSheet.h"
#include "framework/gtk/StyleSupport.h"
#include "framework/gtk/WebViewPeer.h"

namespace fw::gtk {

namespace {

std::unique_ptr<WidgetPeer> MakePeer(fw::TControl& control) {
  if (auto* image = dynamic_cast<fw::TImage*>(&control)) return std::make_unique<ImagePeer>(*image);
  if (dynamic_cast<fw::TButton*>(&control)) return std::make_unique<ButtonPeer>(control);
  if (auto* browser = dynamic_cast<fw::TWebBrowser*>(&control))
    return std::make_unique<WebViewPeer>(*browser);
  if (dynamic_cast<fw::TSplitView*>(&control) || dynamic_cast<fw::TPanel*>(&control))
    return std::make_unique<ContainerPeer>(control);
  throw fw::Exception("No widget kind for the control '" + control.Name() + "'");
}

// The platform's virtual-key numbers, which the routing and the handlers speak.
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
      return 0x20;
    case GDK_KEY_Shift_L:
    case GDK_KEY_Shift_R:
      return 0x10;
    case GDK_KEY_Control_L:
    case GDK_KEY_Control_R:
      return 0x11;
    case GDK_KEY_Alt_L:
    case GDK_KEY_Alt_R:
      return 0x12;
  }
  const guint upper = gdk_keyval_to_upper(keyval);
  if ((upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9'))
    return static_cast<std::uint16_t>(upper);
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24)
    return static_cast<std::uint16_t>(0x70 + keyval - GDK_KEY_F1);
  // Any other key still reaches key preview as a key, never as "no key".
  return 0xFF;
}

// What is pressed, for the idle watch: keys by their hardware code, then buttons, then touch
// points, each in a range of its own.
constexpr int kButtonSources = 0x10000;
constexpr int kTouchSources = 0x20000;

int TouchPoint(const GdkEventTouch& touch) {
  return kTouchSources +
         static_cast<int>(reinterpret_cast<std::uintptr_t>(touch.sequence) % 0x10000);
}

void ReportInput(fw::TApplication& application, const GdkEvent& event) {
  using fw::TInputEdge;
  switch (event.type) {
    case GDK_KEY_PRESS:
      return application.InputArrived(TInputEdge::Press, event.key.hardware_keycode);
    case GDK_KEY_RELEASE:
      return application.InputArrived(TInputEdge::Release, event.key.hardware_keycode);
    case GDK_BUTTON_PRESS:
    case GDK_2BUTTON_PRESS:
    case GDK_3BUTTON_PRESS:
      return application.InputArrived(TInputEdge::Press,
                                      kButtonSources + static_cast<int>(event.button.button));
    case GDK_BUTTON_RELEASE:
      return application.InputArrived(TInputEdge::Release,
                                      kButtonSources + static_cast<int>(event.button.button));
    case GDK_TOUCH_BEGIN:
      return application.InputArrived(TInputEdge::Press, TouchPoint(event.touch));
    case GDK_TOUCH_END:
    case GDK_TOUCH_CANCEL:
      return application.InputArrived(TInputEdge::Release, TouchPoint(event.touch));
    case GDK_MOTION_NOTIFY:
      return application.PointerAt(
          {static_cast<int>(event.motion.x_root), static_cast<int>(event.motion.y_root)});
    // The toolkit holds motion back until its next frame, which a page that paints nothing
    // new may not ask for for a long while; a crossing comes at once.
    case GDK_ENTER_NOTIFY:
    case GDK_LEAVE_NOTIFY:
      return application.PointerAt(
          {static_cast<int>(event.crossing.x_root), static_cast<int>(event.crossing.y_root)});
    case GDK_TOUCH_UPDATE:
    case GDK_SCROLL:
    case GDK_TOUCHPAD_SWIPE:
    case GDK_TOUCHPAD_PINCH:
    case GDK_PAD_BUTTON_PRESS:
    case GDK_PAD_BUTTON_RELEASE:
    case GDK_PAD_RING:
    case GDK_PAD_STRIP:
    case GDK_PROXIMITY_IN:
      return application.InputArrived(TInputEdge::Other, 0);
    default:
      return;
  }
}

void PassEvent(GdkEvent* event, gpointer) { gtk_main_do_event(event); }

gboolean TerminateOnSignal(gpointer application) {
  return AtCallbackBoundary<gboolean>(G_SOURCE_CONTINUE, [&]() -> gboolean {
    static_cast<GtkFrameworkApplication*>(application)->Terminate();
    return G_SOURCE_CONTINUE;
  });
}

}  // namespace

GtkFrameworkApplication::GtkFrameworkApplication()
    : loop_(g_main_loop_new(nullptr, FALSE)),
      sigterm_(g_unix_signal_add(SIGTERM, TerminateOnSignal, this)),
      sighup_(g_unix_signal_add(SIGHUP, TerminateOnSignal, this)),
      sigint_(g_unix_signal_add(SIGINT, TerminateOnSignal, this)) {
  // The program keeps no settings; without this the desktop's settings database would put a
  // file of its own into the user's cache folder. A backend the user chose still wins.
  g_setenv("GSETTINGS_BACKEND", "memory", FALSE);
  if (!gtk_init_check(nullptr, nullptr)) throw fw::Exception("Cannot open the display");
  gdk_event_handler_set(HandleEvent, this, nullptr);
  fw::TPopupMenu::SetPresenter(ShowPopupMenu);
  fw::TStyleManager::SetPlatform({EmbeddedStyles, ShowStyleNotFoundDialog});
}

GtkFrameworkApplication::~GtkFrameworkApplication() {
  gdk_event_handler_set(PassEvent, nullptr, nullptr);
  fw::TPopupMenu::SetPresenter(nullptr);
  fw::TStyleManager::SetPlatform({});
  DestroyForms();
  if (styleSheet_) {
    gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(),
                                                 GTK_STYLE_PROVIDER(styleSheet_.get()));
  }
}

void GtkFrameworkApplication::SetTitle(std::string title) {
  fw::TApplication::SetTitle(std::move(title));
  g_set_application_name(Title().c_str());
}

void GtkFrameworkApplication::AddForm(std::unique_ptr<fw::TForm> form) {
  const std::string resource = form->LayoutResourceName();
  fw::LoadLayout(*form, resource, LoadRawResource(resource));
  ApplyStyleSheet();
  CreatePeers(*form);
  forms_.push_back(std::move(form));
}

void GtkFrameworkApplication::ApplyStyleSheet() {
  const fw::TStyle* style = fw::TStyleManager::ActiveStyle();
  if (!style || styleSheet_) return;
  styleSheet_ = ObjectRef<GtkCssProvider>(gtk_css_provider_new());
  GError* error = nullptr;
  const std::string css = ButtonStyleSheet(*style);
  if (!gtk_css_provider_load_from_data(styleSheet_.get(), css.c_str(),
                                       static_cast<gssize>(css.size()), &error)) {
    const UniqueGError owned(error);
    throw fw::EStyleError("Unable to load style '" + style->Name +
                          "': " + (owned ? owned->message : ""));
  }
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                            GTK_STYLE_PROVIDER(styleSheet_.get()),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

void GtkFrameworkApplication::CreatePeers(fw::TForm& form) {
  auto formPeer = std::make_unique<FormPeer>(form, *this);
  FormPeer& window = *formPeer;
  form.AttachPeer(std::move(formPeer));
  // Scale for the monitor the window will appear on before any control exists.
  form.ScaleForPixelsPerInch(window.PixelsPerInch());
  // Creation order puts every parent before its children, and later siblings above earlier.
  for (fw::TComponent* component : form.Components()) {
    auto* control = dynamic_cast<fw::TControl*>(component);
    if (!control) continue;
    auto peer = MakePeer(*control);
    WidgetPeer& widget = *peer;
    control->AttachPeer(std::move(peer));
    auto* parent =
        dynamic_cast<WidgetPeer*>(control->Parent() ? control->Parent()->Peer() : nullptr);
    if (!parent || !parent->Container())
      throw fw::Exception("The control '" + control->Name() + "' has no parent to hold it");
    widget.PutInto(parent->Container());
  }
}

void GtkFrameworkApplication::Run() {
  if (auto* form = MainForm()) {
    if (fw::TControl* first = form->FirstFocusable()) first->SetFocus();
    if (auto* window = dynamic_cast<FormPeer*>(form->Peer())) window->Show();
  }
  if (!terminated_) g_main_loop_run(loop_.get());
}

void GtkFrameworkApplication::Terminate() {
  terminated_ = true;
  g_main_loop_quit(loop_.get());
}

void GtkFrameworkApplication::HandleEvent(GdkEvent* event, gpointer self) {
  auto& application = *static_cast<GtkFrameworkApplication*>(self);
  // Any input counts, a discarded one too; a failure in either look passes the event on.
  AtCallbackBoundary(0, [&] {
    ReportInput(application, *event);
    return 0;
  });
  const EventFilter filter = application.eventFilter_;
  if (!filter || !AtCallbackBoundary(false, [&] { return filter(event); }))
    gtk_main_do_event(event);
}

void GtkFrameworkApplication::StartIdleTimer(std::chrono::milliseconds delay) {
  const auto ms = std::clamp<std::chrono::milliseconds::rep>(delay.count(), 1, G_MAXUINT);
  idleTimer_.Reset(g_timeout_add(static_cast<guint>(ms), OnIdleTimer, this));
}

gboolean GtkFrameworkApplication::OnIdleTimer(gpointer self) {
  auto& application = *static_cast<GtkFrameworkApplication*>(self);
  application.idleTimer_.Forget();  // one-shot: the core starts it again if it wants to
  AtCallbackBoundary(0, [&] {
    application.IdleTimerElapsed();
    return 0;
  });
  return G_SOURCE_REMOVE;
}

bool GtkFrameworkApplication::RouteKey(fw::TForm& form, const GdkEventKey& event) {
  auto* window = dynamic_cast<FormPeer*>(form.Peer());
  if (!window) return false;
  GtkWidget* focusWidget = gtk_window_get_focus(window->Window());
  fw::TControl* focused = focusWidget ? WidgetPeer::FindControl(focusWidget) : &form;
  if (!focused) return false;
  // The web view is the page: what it has the focus for is the page's. The view hands keys
  // the page left alone back to the window, which routes them here again: still the page's.
  if (dynamic_cast<fw::TWebBrowser*>(focused)) return false;
  fw::TShiftState shift = 0;
  if (event.state & GDK_SHIFT_MASK) shift |= fw::ssShift;
  if (event.state & GDK_CONTROL_MASK) shift |= fw::ssCtrl;
  if (event.state & GDK_MOD1_MASK) shift |= fw::ssAlt;
  std::uint16_t key = VirtualKey(event.keyval);
  return fw::DispatchKeyDown(form, *focused, key, shift);
}

void GtkFrameworkApplication::ShowErrorMessage(const std::string& text) {
  auto* owner = MainForm() ? dynamic_cast<FormPeer*>(MainForm()->Peer()) : nullptr;
  ShowMessageDialog(owner ? owner->Window() : nullptr, Title(), text, "_OK");
}

}  // namespace fw::gtk
