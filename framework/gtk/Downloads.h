#pragma once

#include <webkit2/webkit2.h>

#include <string>

#include "framework/core/WebBrowser.h"
#include "framework/gtk/Handles.h"

namespace fw::gtk {

// Where a page's downloads go: into the user's download folder, under a name no file there
// has yet, so that a download never replaces or removes a file. A locked-down browser takes
// none.
class Downloads {
 public:
  Downloads(const fw::TWebBrowser& browser, WebKitWebView* view);

 private:
  void Started(WebKitWebContext* context, WebKitDownload* download);
  static gboolean OnDecideDestination(WebKitDownload* download, gchar* suggested, gpointer self);

  const fw::TWebBrowser& browser_;
  WebKitWebView* view_;
  SignalConnection started_;
};

// The user's download folder (xdg-user-dir DOWNLOAD), else ~/Downloads.
std::string DownloadFolder();

}  // namespace fw::gtk
