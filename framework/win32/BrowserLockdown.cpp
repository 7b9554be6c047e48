#include "framework/win32/BrowserLockdown.h"

#include <exdispid.h>
#include <shlobj.h>

namespace fw::win32 {

namespace {

void Cancel(const VARIANT& argument) {
  if (VARIANT_BOOL* cancel = EventCancel(argument)) *cancel = VARIANT_TRUE;
}

}  // namespace

BrowserLockdown::BrowserLockdown(const fw::TWebBrowser& browser, BrowserEvents& events,
                                 Navigate navigate)
    : browser_(browser), events_(events), navigate_(std::move(navigate)) {
  events.Listen([this](DISPID id, DISPPARAMS& parameters) { Event(id, parameters); });
}

// The arguments arrive last first.
void BrowserLockdown::Event(DISPID id, DISPPARAMS& parameters) {
  const fw::NavigationAllowList* allowed = browser_.Lockdown();
  if (!allowed) return;
  VARIANT* arguments = parameters.rgvarg;
  switch (id) {
    case DISPID_BEFORENAVIGATE2:  // (frame, URL, flags, target, post data, headers, cancel)
      // Frames inside the page and what they load are the page's own business.
      if (parameters.cArgs == 7 && events_.TopLevel(arguments[6]) &&
          !allowed->Allows(EventText(arguments[5]))) {
        Cancel(arguments[0]);
      }
      break;
    case DISPID_NEWWINDOW3: {  // (window out, cancel, flags, from URL, URL)
      if (parameters.cArgs != 5) break;
      Cancel(arguments[3]);
      const VARIANT& flags = EventValue(arguments[2]);
      const bool tapped = (flags.vt == VT_I4 || flags.vt == VT_UI4) &&
                          (flags.ulVal & (NWMF_USERINITED | NWMF_USERREQUESTED));
      const std::string url = EventText(arguments[0]);
      // A window a timer or a script asks for on its own is dropped.
      if (tapped && allowed->Allows(url)) navigate_(url);
      break;
    }
    case DISPID_FILEDOWNLOAD:  // (active document, cancel)
      if (parameters.cArgs != 2) break;
      // A document the control shows itself is no download.
      if (const VARIANT& document = EventValue(arguments[1]);
          document.vt == VT_BOOL && document.boolVal != VARIANT_FALSE) {
        break;
      }
      Cancel(arguments[0]);
      break;
    default:
      break;
  }
}

}  // namespace fw::win32
