#pragma once

namespace fw::win32 {

// Removes what browsing left in this user's WinINet storage, which the browser control uses:
// the session's cookies, then every entry of the URL cache (persistent cookies, history and
// cached pages). Throws, after removing what it could, when something stays.
void ClearInternetStorage();

}  // namespace fw::win32
