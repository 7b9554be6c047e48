#include "framework/gtk/PlatformApplication.h"

#include <glib-unix.h>

#include <algorithm>
#include <csignal>
#include <cstdint>

#include "framework/core/CallbackBoundary.h"
#include "framework/core/EventLog.h"
#include "framework/core/Exceptions.h"
#include "framework/core/StyleManager.h"
#include "framework/core/WebBrowser.h"
#include "framework/gtk/FormPeer.h"
#include "framework/gtk/Input.h"
#include "framework/gtk/MemberCallback.h"
#include "framework/gtk/PeerFactory.h"
#include "framework/gtk/PopupMenuPresenter.h"
#include "framework/gtk/Resources.h"
#include "framework/gtk/StyleSheet.h"
#include "framework/gtk/StyleSupport.h"

namespace fw::gtk {

namespace {

void PassEvent(GdkEvent* event, gpointer) { gtk_main_do_event(event); }

}  // namespace

PlatformApplication::PlatformApplication()
    : loop_(g_main_loop_new(nullptr, FALSE)),
      sigterm_(g_unix_signal_add(SIGTERM, TerminateOnSignal, this)),
      sighup_(g_unix_signal_add(SIGHUP, TerminateOnSignal, this)),
      sigint_(g_unix_signal_add(SIGINT, TerminateOnSignal, this)) {
  // The program keeps no settings; without this the desktop's settings database would put a
  // file of its own into the user's cache folder. A backend the user chose still wins.
  g_setenv("GSETTINGS_BACKEND", "memory", FALSE);
  if (!gtk_init_check(nullptr, nullptr)) throw fw::Exception("Cannot open the display");
  gdk_event_handler_set(MemberCallback<&PlatformApplication::HandleEvent>::Call, this, nullptr);
  fw::TPopupMenu::SetPresenter(ShowPopupMenu);
  fw::TStyleManager::SetPlatform({EmbeddedStyles, ShowStyleNotFoundDialog});
}

PlatformApplication::~PlatformApplication() {
  notifier_.Stopping();
  gdk_event_handler_set(PassEvent, nullptr, nullptr);
  fw::TPopupMenu::SetPresenter(nullptr);
  fw::TStyleManager::SetPlatform({});
  DestroyForms();
  if (styleSheet_) {
    gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(),
                                                 GTK_STYLE_PROVIDER(styleSheet_.get()));
  }
}

void PlatformApplication::SetTitle(std::string title) {
  fw::TApplication::SetTitle(std::move(title));
  g_set_application_name(Title().c_str());
}

std::string_view PlatformApplication::LayoutResource(const std::string& name) {
  return LoadRawResource(name);
}

void PlatformApplication::ApplyStyleSheet() {
  const fw::TStyle* style = fw::TStyleManager::ActiveStyle();
  if (!style || styleSheet_) return;
  styleSheet_ = ObjectRef<GtkCssProvider>::Adopt(gtk_css_provider_new());
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

int PlatformApplication::CreateFormPeer(fw::TForm& form) {
  ApplyStyleSheet();
  auto formPeer = std::make_unique<FormPeer>(form, *this);
  FormPeer& window = *formPeer;
  form.AttachPeer(std::move(formPeer));
  return window.PixelsPerInch();
}

void PlatformApplication::CreateControlPeer(fw::TControl& control, fw::TWinControl& parent) {
  auto peer = MakePeer(control);
  WidgetPeer& widget = *peer;
  control.AttachPeer(std::move(peer));
  WidgetPeer* parentPeer = PeerOf(parent);
  if (!parentPeer || !parentPeer->Container())
    throw fw::Exception("The control '" + control.Name() + "' has no parent to hold it");
  widget.PutInto(parentPeer->Container());
}

void PlatformApplication::Run() {
  if (auto* form = MainForm()) {
    if (fw::TControl* first = form->FirstFocusable()) first->SetFocus();
    if (FormPeer* window = FormPeerOf(*form)) {
      window->Show();
      notifier_.ReadyOnceDrawn(GTK_WIDGET(window->Window()));
    }
  }
  if (!terminated_) g_main_loop_run(loop_.get());
}

void PlatformApplication::Terminate() {
  terminated_ = true;
  g_main_loop_quit(loop_.get());
}

void PlatformApplication::HandleEvent(GdkEvent* event) {
  // Any input counts, a discarded one too; a failure in either look passes the event on.
  if (AtCallbackBoundary(false, [&] { return fw::DeliverInput(*this, ClassifyInput(*event)); }))
    return;
  const EventFilter filter = eventFilter_;
  if (!filter || !AtCallbackBoundary(false, [&] { return filter(event); }))
    gtk_main_do_event(event);
}

void PlatformApplication::SwitchDisplay(bool on) {
  if (!displayPower_) displayPower_ = std::make_unique<DisplayPower>(gdk_display_get_default());
  // No pointer over the black: a cursor alone on a dark screen says someone is there.
  FormPeer* form = MainForm() ? FormPeerOf(*MainForm()) : nullptr;
  // At start (outside the hours) the window may not be shown yet: its cursor is set now.
  if (form) gtk_widget_realize(GTK_WIDGET(form->Window()));
  GdkWindow* window = form ? gtk_widget_get_window(GTK_WIDGET(form->Window())) : nullptr;
  if (window && !on) {
    cursorBeforeOff_ = ObjectRef<GdkCursor>::Retain(gdk_window_get_cursor(window));
    gdk_window_set_cursor(
        window, ObjectRef<GdkCursor>::Adopt(
                    gdk_cursor_new_for_display(gdk_window_get_display(window), GDK_BLANK_CURSOR))
                    .get());
  } else if (window) {
    gdk_window_set_cursor(window, cursorBeforeOff_.get());
    cursorBeforeOff_.reset();
  }
  displayPower_->Switch(on);
}

void PlatformApplication::StartIdleTimer(std::chrono::milliseconds delay) {
  const auto ms = std::clamp<std::chrono::milliseconds::rep>(delay.count(), 1, G_MAXUINT);
  idleTimer_.Reset(g_timeout_add(
      static_cast<guint>(ms),
      MemberCallback<&PlatformApplication::OnIdleTimer, G_SOURCE_REMOVE>::Call, this));
}

gboolean PlatformApplication::OnIdleTimer() {
  idleTimer_.Forget();  // one-shot: the core starts it again if it wants to
  IdleTimerElapsed();
  return G_SOURCE_REMOVE;
}

gboolean PlatformApplication::OnTerminateSignal() {
  fw::LogEvent(fw::TEvent::Exited, "asked to end by a signal (log-out or the service manager)");
  Terminate();
  return G_SOURCE_CONTINUE;
}

void PlatformApplication::ShowErrorMessage(const std::string& text) {
  FormPeer* owner = MainForm() ? FormPeerOf(*MainForm()) : nullptr;
  ShowMessageDialog(owner ? owner->Window() : nullptr, Title(), text, "_OK");
}

}  // namespace fw::gtk
