#include "framework/core/WebBrowser.h"

#include "framework/core/Exceptions.h"

namespace fw {

void TWebBrowser::Navigate(const std::string& url) {
  auto* browser = dynamic_cast<BrowserPeer*>(Peer());
  if (!browser) throw Exception("The browser control '" + Name() + "' has no window yet");
  browser->Navigate(url);
}

}  // namespace fw
