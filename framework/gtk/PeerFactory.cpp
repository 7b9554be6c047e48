#include "framework/gtk/PeerFactory.h"

#include "framework/core/Exceptions.h"
#include "framework/core/StandardControls.h"
#include "framework/core/WebBrowser.h"
#include "framework/gtk/ControlPeers.h"
#include "framework/gtk/WebBrowserPeer.h"

namespace fw::gtk {

std::unique_ptr<WidgetPeer> MakePeer(fw::TControl& control) {
  switch (control.Kind()) {
    case fw::TControlKind::Image:
      return std::make_unique<ImagePeer>(static_cast<fw::TImage&>(control));
    case fw::TControlKind::Button:
      return std::make_unique<ButtonPeer>(control);
    case fw::TControlKind::WebBrowser:
      return std::make_unique<WebBrowserPeer>(static_cast<fw::TWebBrowser&>(control));
    case fw::TControlKind::SplitView:
    case fw::TControlKind::Panel:
      return std::make_unique<ContainerPeer>(control);
    case fw::TControlKind::Form:
      break;
  }
  throw fw::Exception("No widget kind for the control '" + control.Name() + "'");
}

}  // namespace fw::gtk
