#include "framework/gtk/WebBrowserPeer.h"

#include <algorithm>
#include <utility>

#include "framework/core/Application.h"
#include "framework/core/CallbackBoundary.h"
#include "framework/core/Exceptions.h"
#include "framework/gtk/Addresses.h"
#include "framework/gtk/EngineMemory.h"
#include "framework/gtk/MemberCallback.h"
#include "framework/gtk/ProcessMemory.h"

namespace fw::gtk {

namespace {

// The media and sound libraries the engine's processes load keep files of their own: a
// registry in the user's cache home, a runtime folder in /tmp where the session names none.
// They go into the program's cache folder instead; what the operator set still counts.
void KeepEngineFilesInOurFolders() {
  const UniqueGChar cache(g_build_filename(g_get_user_cache_dir(), g_get_prgname(), nullptr));
  const UniqueGChar registry(
      g_build_filename(cache.get(), "gstreamer-1.0", "registry.bin", nullptr));
  g_setenv("GST_REGISTRY", registry.get(), FALSE);
  if (!g_getenv("XDG_RUNTIME_DIR")) {
    const UniqueGChar runtime(g_build_filename(cache.get(), "pulse", nullptr));
    g_setenv("PULSE_RUNTIME_PATH", runtime.get(), FALSE);
  }
}

// A touch kiosk grants a page nothing it asks for: no pointer lock (which would take every
// later tap, the pane's included), notifications, location, camera or microphone, MIDI,
// clipboard reading or protocol handlers.
gboolean RefusePermission(WebKitWebView*, WebKitPermissionRequest* request, gpointer) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    webkit_permission_request_deny(request);
    return TRUE;
  });
}

// One web view, on the kiosk's context: the engine keeps its data and cache in its own
// folders under the user's data and cache homes, named after the program, and nowhere else.
GtkWidget* NewWebView() {
  KeepEngineFilesInOurFolders();
  const ObjectRef<WebKitWebContext> kiosk = KioskWebContext();
  WebKitWebContext* context = kiosk.get();
  // A kiosk shows one page at a time: no back-forward page cache, a small memory cache.
  webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
  // Ephemeral: nothing a visitor leaves reaches the disk, and the engine marks no link as
  // followed, which no clear would forget.
  GtkWidget* view = GTK_WIDGET(
      g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "is-ephemeral", TRUE, nullptr));
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

WebBrowserPeer::WebBrowserPeer(fw::TWebBrowser& browser)
    : WidgetPeer(browser, ObjectRef<GtkWidget>::Adopt(NewWebView())), browser_(browser) {
  ConnectTo(Widget(), "context-menu", SuppressContextMenu);
  ConnectTo(Widget(), "permission-request", RefusePermission);
  ConnectTo<&WebBrowserPeer::OnMapped>(Widget(), "map", this);
  ConnectTo(Widget(), "notify::is-playing-audio", ReportSound);
  ConnectTo<&WebBrowserPeer::OnPageTapped>(Widget(), "button-release-event", this);
  ConnectTo<&WebBrowserPeer::OnAllocated>(Widget(), "size-allocate", this);
}

WebBrowserPeer::~WebBrowserPeer() {
  // No signal may reach the listeners while they go.
  events_.Close();
  g_cancellable_cancel(cancellable_.get());
  keyboard_.reset();
}

// The engine starts its processes at the first load; started here, under the splash, they
// are ready when the first visitor taps. Only once the window has been painted, and when
// the main loop has nothing else to do, so that the window comes no later for it.
void WebBrowserPeer::OnMapped(GtkWidget* widget) {
  GdkFrameClock* clock = gtk_widget_get_frame_clock(widget);
  if (warmUpPlanned_ || !clock) return;
  warmUpPlanned_ = true;
  frameClock_ = ObjectRef<GdkFrameClock>::Retain(clock);
  afterPaint_ = ConnectMember<&WebBrowserPeer::OnWindowPainted>(clock, "after-paint", this);
}

void WebBrowserPeer::OnWindowPainted(GdkFrameClock*) {
  afterPaint_.Reset();
  warmUp_.Reset(g_idle_add_full(G_PRIORITY_LOW,
                                MemberCallback<&WebBrowserPeer::WarmUp, G_SOURCE_REMOVE>::Call,
                                this, nullptr));
}

gboolean WebBrowserPeer::WarmUp() {
  warmUp_.Forget();
  // The engine's own empty document: no request leaves the program, and the view, under
  // the splash, shows nothing.
  if (!loaded_) Load("about:blank", false);
  return G_SOURCE_REMOVE;
}

std::optional<std::uint64_t> WebBrowserPeer::MemoryInUse() {
  const std::vector<fw::TMemoryFigure> figures = ProcessTreeMemory();
  if (figures.empty()) return std::nullopt;
  return static_cast<std::uint64_t>(figures.front().Bytes);
}

void WebBrowserPeer::RecycleEngine() {
  // Reported as ended by the program: no crash, nothing reloaded.
  webkit_web_view_terminate_web_process(View());
  // Not held behind the clear under way: the blank document asks nothing of the network.
  warmUp_.Reset();
  Load("about:blank", false);
}

void WebBrowserPeer::UseOnScreenKeyboard(bool use) {
  if (!use) {
    keyboard_.reset();
  } else if (!keyboard_) {
    keyboard_ = std::make_unique<KeyboardPanel>(
        *this, [this](bool) { BoundsChanged(); }, [this] { RevealFocusedField(); });
  }
}

void WebBrowserPeer::HideOnScreenKeyboard() {
  if (keyboard_) keyboard_->Hide();
}

void WebBrowserPeer::AllowOnScreenKeyboard(bool allowed) {
  if (keyboard_) keyboard_->Allow(allowed);
}

void WebBrowserPeer::BoundsChanged() {
  WidgetPeer::BoundsChanged();
  if (!keyboard_) return;
  keyboard_->Place();
  if (!keyboard_->Shown()) return;
  int top = 0;  // the view's top in the form's client area
  for (const fw::TControl* c = &Control(); c->Parent(); c = c->Parent()) top += c->Bounds().Top;
  const fw::TBounds& b = Control().Bounds();
  const int covered = std::clamp(top + b.Height - keyboard_->Top(), 0, b.Height - 1);
  const int scale = ScaleFactor();
  gtk_widget_set_size_request(Widget(), ToToolkit(b.Width, scale),
                              ToToolkit(b.Height - covered, scale));
}

gboolean WebBrowserPeer::OnPageTapped(GtkWidget*, GdkEventButton* event) {
  if (keyboard_ && event->button == GDK_BUTTON_PRIMARY) keyboard_->PageTapped();
  return FALSE;
}

// The engine does not scroll the focused field into view when the view gets smaller.
void WebBrowserPeer::OnAllocated(GtkWidget*, GdkRectangle* allocation) {
  const bool shrank = allocation->height < allocatedHeight_;
  allocatedHeight_ = allocation->height;
  if (shrank && keyboard_ && keyboard_->Shown()) RevealFocusedField();
}

void WebBrowserPeer::RevealFocusedField() {
  // In a world of the program's own, which the page's scripts cannot change; the engine
  // runs it after the new size, which it was sent first. A block of its own: the world keeps
  // its global declarations, and a second run that declared them again would throw.
  static constexpr char kScript[] =
      "{ const field = document.activeElement;"
      "if (field && field !== document.body) field.scrollIntoView({block: 'nearest'}); }";
  webkit_web_view_evaluate_javascript(View(), kScript, -1, "duvuzezera-keyboard", nullptr, nullptr,
                                      nullptr, nullptr);
}

void WebBrowserPeer::Navigate(const std::string& url) { Open(url, !recovery_.CarryingOut()); }

void WebBrowserPeer::Open(const std::string& url, bool programAsked) {
  lockdown_.BeforeNavigate();
  // The first request of the next visitor must not carry what the clear is removing.
  if (clearsUnderWay_) {
    held_ = HeldNavigation{url, programAsked};
    return;
  }
  Load(url, programAsked);
}

void WebBrowserPeer::Load(const std::string& url, bool programAsked) {
  loaded_ = true;
  const std::string address = AddressWithScheme(url);
  if (programAsked) recovery_.ProgramNavigates(address);
  webkit_web_view_load_uri(View(), address.c_str());
}

void WebBrowserPeer::Stop() {
  held_.reset();
  webkit_web_view_stop_loading(View());
}

void WebBrowserPeer::ClearBrowsingData() {
  WebKitWebsiteDataManager* manager = webkit_web_view_get_website_data_manager(View());
  if (!manager) throw fw::Exception("The browser has no storage to clear");
  ++clearsUnderWay_;
  // A time span of zero: whatever its age.
  webkit_website_data_manager_clear(manager, WEBKIT_WEBSITE_DATA_ALL, 0, cancellable_.get(),
                                    OnCleared, this);
}

void WebBrowserPeer::OnCleared(GObject* manager, GAsyncResult* result, gpointer self) {
  AtCallbackBoundary([&] {
    GError* error = nullptr;
    const bool cleared = webkit_website_data_manager_clear_finish(
        WEBKIT_WEBSITE_DATA_MANAGER(manager), result, &error);
    const UniqueGError owned(error);
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) return;  // the peer is gone
    auto& peer = *static_cast<WebBrowserPeer*>(self);
    --peer.clearsUnderWay_;
    if (!cleared) {
      fw::Application->HandleException(fw::Exception(
          std::string("The browser's storage was not cleared: ") + (owned ? owned->message : "")));
    }
    if (peer.clearsUnderWay_ || !peer.held_) return;
    const HeldNavigation held = *std::exchange(peer.held_, std::nullopt);
    peer.Load(held.url, held.programAsked);
  });
}

}  // namespace fw::gtk
