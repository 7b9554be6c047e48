#include "framework/win32/PeerFactory.h"

#include "framework/core/Exceptions.h"
#include "framework/core/StandardControls.h"
#include "framework/core/WebBrowser.h"
#include "framework/win32/ControlPeers.h"
#include "framework/win32/WebBrowserPeer.h"

namespace fw::win32 {

std::unique_ptr<WindowPeer> MakePeer(fw::TControl& control) {
  switch (control.Kind()) {
    case fw::TControlKind::Image:
      return std::make_unique<ImagePeer>(static_cast<fw::TImage&>(control));
    case fw::TControlKind::Button:
      return std::make_unique<ButtonPeer>(control);
    case fw::TControlKind::WebBrowser:
      return std::make_unique<WebBrowserPeer>(static_cast<fw::TWebBrowser&>(control));
    case fw::TControlKind::SplitView:
      return std::make_unique<ContainerPeer>(control, L"TSplitView");
    case fw::TControlKind::Panel:
      return std::make_unique<ContainerPeer>(control, L"TPanel");
    case fw::TControlKind::Form:
      break;
  }
  throw fw::Exception("No window kind for the control '" + control.Name() + "'");
}

}  // namespace fw::win32
