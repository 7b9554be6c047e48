#pragma once

#include <webkit2/webkit2.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "framework/core/WebBrowser.h"
#include "framework/gtk/BrowserEvents.h"
#include "framework/gtk/BrowserLockdown.h"
#include "framework/gtk/BrowserRecovery.h"
#include "framework/gtk/Downloads.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/KeyboardPanel.h"
#include "framework/gtk/WebViewDialogs.h"
#include "framework/gtk/WidgetPeer.h"

namespace fw::gtk {

// The browser control on Linux: a WebKit web view. The engine's own context menu never
// opens, whatever asks for it (right button, Menu key, touch long-press). Its processes are
// started under the splash, on the engine's empty document, once the window is up.
class WebBrowserPeer : public WidgetPeer, public fw::BrowserPeer {
 public:
  explicit WebBrowserPeer(fw::TWebBrowser& browser);
  ~WebBrowserPeer() override;
  // While the engine clears its storage, a navigation waits for the clear to finish.
  void Navigate(const std::string& url) override;
  void Stop() override;
  void LeavePage() override { dialogs_.LeavePage(); }
  // Returns at once; a failure is shown in the exception box when the engine reports it.
  void ClearBrowsingData() override;
  void RecoveryChanged() override { recovery_.SettingsChanged(); }
  WebKitWebView* View() const { return WEBKIT_WEB_VIEW(Widget()); }
  // While the keyboard shows, the view gives up the height it covers, so the page scrolls
  // the focused field into view above it.
  void BoundsChanged() override;
  void UseOnScreenKeyboard(bool use) override;
  void HideOnScreenKeyboard() override;
  void AllowOnScreenKeyboard(bool allowed) override;
  // The proportional set size of the program's process tree, the engine's processes included.
  std::optional<std::uint64_t> MemoryInUse() override;
  bool EngineRecyclable() const override { return true; }
  // The web process ends and a fresh one starts on the blank document, as the warm-up does.
  void RecycleEngine() override;

 private:
  // No member: a cancelled clear still finishes, when the peer may be gone.
  static void OnCleared(GObject* manager, GAsyncResult* result, gpointer self);
  void OnMapped(GtkWidget* widget);
  void OnWindowPainted(GdkFrameClock* clock);
  gboolean WarmUp();
  // `programAsked`: a navigation of the program's own, not one the recovery or a page's new
  // window asked for.
  void Open(const std::string& url, bool programAsked);
  void Load(const std::string& url, bool programAsked);
  gboolean OnPageTapped(GtkWidget*, GdkEventButton* event);
  void OnAllocated(GtkWidget*, GdkRectangle* allocation);
  // Scrolls the page's focused field into the part of the view the keyboard leaves.
  void RevealFocusedField();

  fw::TWebBrowser& browser_;
  std::unique_ptr<KeyboardPanel> keyboard_;
  int allocatedHeight_ = 0;
  int clearsUnderWay_ = 0;
  struct HeldNavigation {
    std::string url;
    bool programAsked;
  };
  std::optional<HeldNavigation> held_;
  // The engine's warm-up: planned at the first map, run after the window's first paint,
  // unless a page was asked for before.
  bool warmUpPlanned_ = false;
  bool loaded_ = false;
  ObjectRef<GdkFrameClock> frameClock_;
  SignalConnection afterPaint_;  // declared after its clock: disconnected before it goes
  SourceId warmUp_;
  // Cancelled with the peer, so that a clear finishing later does not reach it.
  ObjectRef<GCancellable> cancellable_ = ObjectRef<GCancellable>::Adopt(g_cancellable_new());
  // Heard in this order: what the lockdown refuses, the recovery does not wait for.
  BrowserEvents events_{View()};
  BrowserLockdown lockdown_{browser_, View(), events_,
                            [this](const std::string& url) { Open(url, false); }};
  BrowserRecovery recovery_{browser_, View(), events_};
  WebViewDialogs dialogs_{View(), events_};
  Downloads downloads_{browser_, View()};
};

}  // namespace fw::gtk
