#include "framework/gtk/PeerFactory.h"

#include "framework/core/PeerByKind.h"
#include "framework/gtk/ControlPeers.h"
#include "framework/gtk/WebBrowserPeer.h"

namespace fw::gtk {

std::unique_ptr<WidgetPeer> MakePeer(fw::TControl& control) {
  return fw::MakePeerByKind<WidgetPeer, ImagePeer, ButtonPeer, WebBrowserPeer, ContainerPeer>(
      control);
}

}  // namespace fw::gtk
