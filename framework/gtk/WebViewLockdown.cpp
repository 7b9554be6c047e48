#include "framework/gtk/WebViewLockdown.h"

#include <memory>
#include <string_view>
#include <utility>

#include "framework/core/CallbackBoundary.h"

namespace fw::gtk {

namespace {

// The engine's PDF viewer runs in a frame of its own scheme; its open, print and save
// controls (in the toolbar and in its tools menu) are hidden there and nowhere else.
constexpr const char* kViewerPages[] = {"webkit-pdfjs-viewer://*/*", nullptr};
constexpr const char* kViewerStyle =
    "#secondaryOpenFile, #openFile, #print, #secondaryPrint, #download, #secondaryDownload "
    "{ display: none !important; }";

// An engine document a frame may show: the blank one, an inline frame's own. Every other
// `about:` address is the engine's, not a page's.
bool BlankDocument(std::string_view uri) {
  for (std::string_view blank : {"about:blank", "about:srcdoc"}) {
    if (uri.starts_with(blank) &&
        (uri.size() == blank.size() || uri[blank.size()] == '#' || uri[blank.size()] == '?'))
      return true;
  }
  return false;
}

// What a frame may load: the web's addresses, and documents the engine or the page makes.
bool EmbeddedScheme(std::string_view uri) {
  for (std::string_view scheme : {"blob:", "data:", "webkit-pdfjs-viewer:"}) {
    if (uri.starts_with(scheme)) return true;
  }
  return BlankDocument(uri) || uri.starts_with("http:") || uri.starts_with("https:");
}

}  // namespace

WebViewLockdown::WebViewLockdown(const fw::TWebBrowser& browser, WebKitWebView* view,
                                 WebViewEvents& events, Navigate navigate)
    : browser_(browser), view_(view), navigate_(std::move(navigate)) {
  events.Listen(*this);
  connections_.push_back(Connect(view, "create", OnCreate, this));
  connections_.push_back(Connect(view, "run-file-chooser", OnFileChooser, this));
  connections_.push_back(Connect(view, "print", OnPrint, this));
}

void WebViewLockdown::BeforeNavigate() {
  if (!Locked() || styled_) return;
  styled_ = true;
  const std::unique_ptr<WebKitUserStyleSheet, decltype(&webkit_user_style_sheet_unref)> sheet(
      webkit_user_style_sheet_new(kViewerStyle, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                  WEBKIT_USER_STYLE_LEVEL_USER, kViewerPages, nullptr),
      webkit_user_style_sheet_unref);
  webkit_user_content_manager_add_style_sheet(webkit_web_view_get_user_content_manager(view_),
                                              sheet.get());
  // The toolkit's list of recently used files lives in the user's data folder, not ours.
  g_object_set(gtk_settings_get_default(), "gtk-recent-files-enabled", FALSE, nullptr);
}

// A new window's address opens in the view, after a tap only; without a lockdown the engine
// opens nothing, as before.
GtkWidget* WebViewLockdown::OnCreate(WebKitWebView*, WebKitNavigationAction* action,
                                     gpointer self) {
  return AtCallbackBoundary<GtkWidget*>(nullptr, [&]() -> GtkWidget* {
    auto& lockdown = *static_cast<WebViewLockdown*>(self);
    if (!lockdown.Locked() || !webkit_navigation_action_is_user_gesture(action)) return nullptr;
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    if (uri && lockdown.browser_.Lockdown()->Allows(uri)) lockdown.navigate_(uri);
    return nullptr;
  });
}

bool WebViewLockdown::DecidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) {
  if (!Locked()) return false;
  if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
    // What the view cannot show would become a download. A page of a host that is not
    // allowed is dropped before anything of it shows (after any redirect): the page stays,
    // and no box appears.
    auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    WebKitURIRequest* request = webkit_response_policy_decision_get_request(response);
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    const bool allowed = !webkit_response_policy_decision_is_main_frame_main_resource(response) ||
                         (uri && browser_.Lockdown()->Allows(uri));
    if (allowed && webkit_response_policy_decision_is_mime_type_supported(response)) return false;
    webkit_policy_decision_ignore(decision);
    return true;
  }
  if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return false;
  // No frame loads a file or hands an address to another program; which hosts the main
  // frame may show is decided at the response (the engine does not say here whether the
  // frame is the main one).
  WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
      WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  WebKitURIRequest* request = action ? webkit_navigation_action_get_request(action) : nullptr;
  const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
  if (uri && EmbeddedScheme(uri)) return false;
  webkit_policy_decision_ignore(decision);
  return true;
}

gboolean WebViewLockdown::OnFileChooser(WebKitWebView*, WebKitFileChooserRequest* request,
                                        gpointer self) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    if (!static_cast<WebViewLockdown*>(self)->Locked()) return FALSE;
    webkit_file_chooser_request_cancel(request);  // the page gets no file
    return TRUE;
  });
}

gboolean WebViewLockdown::OnPrint(WebKitWebView*, WebKitPrintOperation*, gpointer self) {
  return AtCallbackBoundary<gboolean>(
      FALSE, [&]() -> gboolean { return static_cast<WebViewLockdown*>(self)->Locked(); });
}

}  // namespace fw::gtk
