#include <gtest/gtest.h>
#include <webkit2/webkit2.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "framework/gtk/Handles.h"
#include "framework/gtk/WebViewEvents.h"

namespace {

// Writes what it hears into a log shared with the other listeners.
class Recorder : public fw::gtk::WebViewEvents::Listener {
 public:
  Recorder(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
  bool handlesFailures = false;
  bool throws = false;

  void LoadChanged(WebKitLoadEvent event) override {
    log_.push_back(name_ + " load " + std::to_string(event));
    if (throws) throw std::runtime_error("a listener failed");
  }
  bool LoadFailed(const char* uri, GError*) override {
    log_.push_back(name_ + " failed " + uri);
    return handlesFailures;
  }

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

class WebViewEvents : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
    view_ = fw::gtk::ObjectRef<GtkWidget>::Adopt(webkit_web_view_new());
  }
  WebKitWebView* View() const { return WEBKIT_WEB_VIEW(view_.get()); }
  // As the engine reports a load's failure. What no listener takes ends here, logged as the
  // engine's, in place of the engine's own error page.
  void Fail(const char* uri, std::vector<std::string>& log) {
    if (!std::exchange(engineHears_, true))
      engine_ = fw::gtk::Connect(View(), "load-failed", TheEnginesOwn, &log);
    const fw::gtk::UniqueGError error(
        g_error_new_literal(WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_TRANSPORT, "x"));
    gboolean handled = FALSE;
    g_signal_emit_by_name(View(), "load-failed", WEBKIT_LOAD_STARTED, uri, error.get(), &handled);
  }
  static gboolean TheEnginesOwn(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError*,
                                gpointer log) {
    static_cast<std::vector<std::string>*>(log)->push_back(std::string("engine failed ") + uri);
    return TRUE;
  }

  fw::gtk::ObjectRef<GtkWidget> view_;
  bool engineHears_ = false;
  fw::gtk::SignalConnection engine_;  // after the view: it goes first
};

TEST_F(WebViewEvents, ListenersHearInTheOrderTheyListenAndOneThatThrowsStopsNoOther) {
  std::vector<std::string> log;
  Recorder lockdown("lockdown", log), recovery("recovery", log);
  lockdown.throws = true;
  fw::gtk::WebViewEvents events(View());
  events.Listen(lockdown);
  events.Listen(recovery);
  g_signal_emit_by_name(View(), "load-changed", WEBKIT_LOAD_COMMITTED);
  const std::vector<std::string> expected = {"lockdown load 2", "recovery load 2"};
  EXPECT_EQ(log, expected);
}

TEST_F(WebViewEvents, AFailureOneListenerHandledReachesNoListenerAfterIt) {
  std::vector<std::string> log;
  Recorder first("first", log), second("second", log);
  fw::gtk::WebViewEvents events(View());
  events.Listen(first);
  events.Listen(second);
  Fail("http://127.0.0.1:1/a", log);
  first.handlesFailures = true;
  Fail("http://127.0.0.1:1/b", log);
  const std::vector<std::string> expected = {
      "first failed http://127.0.0.1:1/a", "second failed http://127.0.0.1:1/a",
      "engine failed http://127.0.0.1:1/a", "first failed http://127.0.0.1:1/b"};
  EXPECT_EQ(log, expected);
}

TEST_F(WebViewEvents, ClosedNothingReachesTheListeners) {
  std::vector<std::string> log;
  Recorder listener("listener", log);
  fw::gtk::WebViewEvents events(View());
  events.Listen(listener);
  events.Close();
  g_signal_emit_by_name(View(), "load-changed", WEBKIT_LOAD_FINISHED);
  Fail("http://127.0.0.1:1/", log);
  const std::vector<std::string> expected = {"engine failed http://127.0.0.1:1/"};
  EXPECT_EQ(log, expected);
}

}  // namespace
