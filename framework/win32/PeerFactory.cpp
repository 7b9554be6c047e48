#include "framework/win32/PeerFactory.h"

#include "framework/core/PeerByKind.h"
#include "framework/win32/ControlPeers.h"
#include "framework/win32/WebBrowserPeer.h"

namespace fw::win32 {

std::unique_ptr<WindowPeer> MakePeer(fw::TControl& control) {
  return fw::MakePeerByKind<WindowPeer, ImagePeer, ButtonPeer, WebBrowserPeer, ContainerPeer>(
      control);
}

}  // namespace fw::win32
