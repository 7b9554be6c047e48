#include "framework/gtk/WebViewPeer.h"

#include <utility>

#include "framework/core/Application.h"
#include "framework/core/CallbackBoundary.h"
#include "framework/core/Exceptions.h"
#include "framework/gtk/Addresses.h"

namespace fw::gtk {

namespace {

// One web view, on the default context: the engine keeps its data and cache in its own
// folders under the user's data and cache homes, named after the program, and nowhere else.
GtkWidget* NewWebView() {
  WebKitWebContext* context = webkit_web_context_get_default();
  // A kiosk shows one page at a time: no back-forward page cache, a small memory cache.
  webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
  GtkWidget* view = webkit_web_view_new_with_context(context);
  // Without accelerated compositing the engine keeps no GPU surfaces and layers in memory;
  // the pages a kiosk shows do not need it.
  webkit_settings_set_hardware_acceleration_policy(
      webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view)),
      WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  return view;
}

// The idle reset waits while the page plays sound.
void ReportSound(GObject* view, GParamSpec*, gpointer) {
  AtCallbackBoundary([view] {
    if (fw::Application)
      fw::Application->SoundPlaying(webkit_web_view_is_playing_audio(WEBKIT_WEB_VIEW(view)));
  });
}

gboolean SuppressContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*,
                             gpointer) {
  return TRUE;
}

}  // namespace

WebViewPeer::WebViewPeer(fw::TWebBrowser& browser)
    : WidgetPeer(browser, ObjectRef<GtkWidget>::Adopt(NewWebView())),
      browser_(browser),
      recovery_(browser, WEBKIT_WEB_VIEW(Widget())) {
  ConnectTo(Widget(), "context-menu", SuppressContextMenu);
  ConnectTo(Widget(), "map", OnMapped);
  ConnectTo(Widget(), "notify::is-playing-audio", ReportSound);
}

WebViewPeer::~WebViewPeer() { g_cancellable_cancel(cancellable_.get()); }

// The engine starts its processes at the first load; started here, under the splash, they
// are ready when the first visitor taps. Only once the window has been painted, and when
// the main loop has nothing else to do, so that the window comes no later for it.
void WebViewPeer::OnMapped(GtkWidget* widget, gpointer self) {
  AtCallbackBoundary([&] {
    auto& peer = *static_cast<WebViewPeer*>(self);
    GdkFrameClock* clock = gtk_widget_get_frame_clock(widget);
    if (peer.warmUpPlanned_ || !clock) return;
    peer.warmUpPlanned_ = true;
    peer.frameClock_ = ObjectRef<GdkFrameClock>::Retain(clock);
    peer.afterPaint_ = Connect(clock, "after-paint", OnWindowPainted, self);
  });
}

void WebViewPeer::OnWindowPainted(GdkFrameClock*, gpointer self) {
  AtCallbackBoundary([&] {
    auto& peer = *static_cast<WebViewPeer*>(self);
    peer.afterPaint_.Reset();
    peer.warmUp_.Reset(g_idle_add_full(G_PRIORITY_LOW, WarmUp, self, nullptr));
  });
}

gboolean WebViewPeer::WarmUp(gpointer self) {
  return AtCallbackBoundary<gboolean>(G_SOURCE_REMOVE, [&] {
    auto& peer = *static_cast<WebViewPeer*>(self);
    peer.warmUp_.Forget();
    // The engine's own empty document: no request leaves the program, and the view, under
    // the splash, shows nothing.
    if (!peer.loaded_) webkit_web_view_load_uri(peer.View(), "about:blank");
    return G_SOURCE_REMOVE;
  });
}

void WebViewPeer::Navigate(const std::string& url) {
  lockdown_.BeforeNavigate();
  // The first request of the next visitor must not carry what the clear is removing.
  if (clearsUnderWay_) {
    heldUrl_ = url;
    return;
  }
  Load(url);
}

void WebViewPeer::Load(const std::string& url) {
  loaded_ = true;
  const std::string address = AddressWithScheme(url);
  recovery_.BeforeProgramLoad(address);
  webkit_web_view_load_uri(View(), address.c_str());
}

void WebViewPeer::Stop() {
  heldUrl_.reset();
  webkit_web_view_stop_loading(View());
}

void WebViewPeer::ClearBrowsingData() {
  WebKitWebsiteDataManager* manager = webkit_web_view_get_website_data_manager(View());
  if (!manager) throw fw::Exception("The browser has no storage to clear");
  ++clearsUnderWay_;
  // A time span of zero: whatever its age.
  webkit_website_data_manager_clear(manager, WEBKIT_WEBSITE_DATA_ALL, 0, cancellable_.get(),
                                    OnCleared, this);
}

void WebViewPeer::OnCleared(GObject* manager, GAsyncResult* result, gpointer self) {
  AtCallbackBoundary([&] {
    GError* error = nullptr;
    const bool cleared = webkit_website_data_manager_clear_finish(
        WEBKIT_WEBSITE_DATA_MANAGER(manager), result, &error);
    const UniqueGError owned(error);
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) return;  // the peer is gone
    auto& peer = *static_cast<WebViewPeer*>(self);
    --peer.clearsUnderWay_;
    if (!cleared) {
      fw::Application->HandleException(fw::Exception(
          std::string("The browser's storage was not cleared: ") + (owned ? owned->message : "")));
    }
    if (!peer.clearsUnderWay_ && peer.heldUrl_) peer.Load(*std::exchange(peer.heldUrl_, {}));
  });
}

}  // namespace fw::gtk
