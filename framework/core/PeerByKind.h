#pragma once

#include <memory>

#include "framework/core/Control.h"
#include "framework/core/Exceptions.h"
#include "framework/core/StandardControls.h"
#include "framework/core/WebBrowser.h"

namespace fw {

// A backend's peer for `control`, by its kind, from the backend's peer classes. The switch has
// no default: a new kind of control fails to compile until every backend gives it a peer.
template <class Peer, class ImagePeer, class ButtonPeer, class BrowserPeerClass,
          class ContainerPeer>
std::unique_ptr<Peer> MakePeerByKind(TControl& control) {
  switch (control.Kind()) {
    case TControlKind::Image:
      return std::make_unique<ImagePeer>(static_cast<TImage&>(control));
    case TControlKind::Button:
      return std::make_unique<ButtonPeer>(control);
    case TControlKind::WebBrowser:
      return std::make_unique<BrowserPeerClass>(static_cast<TWebBrowser&>(control));
    case TControlKind::SplitView:
    case TControlKind::Panel:
      return std::make_unique<ContainerPeer>(control);
    case TControlKind::Form:
      break;
  }
  throw Exception("No peer for the control '" + control.Name() + "'");
}

}  // namespace fw
