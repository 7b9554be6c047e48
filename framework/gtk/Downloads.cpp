#include "framework/gtk/Downloads.h"

#include <glib/gstdio.h>

#include <memory>

#include "framework/core/CallbackBoundary.h"
#include "framework/core/Exceptions.h"
#include "framework/core/FreeFileName.h"
#include "framework/gtk/MemberCallback.h"

namespace fw::gtk {

std::string DownloadFolder() {
  if (const char* folder = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD); folder && *folder)
    return folder;
  const UniqueGChar folder(g_build_filename(g_get_home_dir(), "Downloads", nullptr));
  return folder.get();
}

Downloads::Downloads(const fw::TWebBrowser& browser, WebKitWebView* view)
    : browser_(browser), view_(view) {
  started_ = ConnectMember<&Downloads::Started>(webkit_web_view_get_context(view),
                                                "download-started", this);
}

void Downloads::Started(WebKitWebContext*, WebKitDownload* download) {
  if (webkit_download_get_web_view(download) != view_) return;
  if (browser_.Lockdown()) {
    webkit_download_cancel(download);
    return;
  }
  // Connected for the download's life: it goes with the download.
  g_signal_connect(download, "decide-destination", G_CALLBACK(OnDecideDestination), nullptr);
}

gboolean Downloads::OnDecideDestination(WebKitDownload* download, gchar* suggested, gpointer) {
  // A download that found no place is cancelled: the engine's own choice could replace a file.
  return AtCallbackBoundary<gboolean>(TRUE, [&]() -> gboolean {
    const std::string folder = DownloadFolder();
    if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) {
      webkit_download_cancel(download);
      throw fw::Exception("The download folder " + folder + " cannot be made");
    }
    const auto path = [&](const std::string& name) {
      const UniqueGChar joined(g_build_filename(folder.c_str(), name.c_str(), nullptr));
      return std::string(joined.get());
    };
    const std::string name =
        fw::FreeFileName(suggested ? suggested : "", [&](const std::string& n) {
          return g_file_test(path(n).c_str(), G_FILE_TEST_EXISTS) ||
                 g_file_test(path(n).c_str(), G_FILE_TEST_IS_SYMLINK);
        });
    GError* error = nullptr;
    const UniqueGChar uri(g_filename_to_uri(path(name).c_str(), nullptr, &error));
    const UniqueGError owned(error);
    if (!uri) {
      webkit_download_cancel(download);
      throw fw::Exception(std::string("A download has no place: ") + owned->message);
    }
    // Should a file of that name appear meanwhile, the download fails rather than replace it.
    webkit_download_set_allow_overwrite(download, FALSE);
    webkit_download_set_destination(download, uri.get());
    return TRUE;
  });
}

}  // namespace fw::gtk
