#include "framework/gtk/GtkFrameworkApplication.h"

#include <glib-unix.h>

#include <csignal>

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
  fw::TPopupMenu::SetPresenter(ShowPopupMenu);
  fw::TStyleManager::SetPlatform({EmbeddedStyles, ShowStyleNotFoundDialog});
}

GtkFrameworkApplication::~GtkFrameworkApplication() {
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
