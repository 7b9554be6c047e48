#pragma once

namespace fw::win32 {

// Removes what browsing left in this user's browser storage, which the browser control uses:
// WinINet's session cookies and every entry of its URL cache (persistent cookies, history and
// cached pages), then, through the Internet Options' removal of the browsing history, what
// lies outside WinINet (web storage, form data, passwords). Throws, after removing what it
// could, when something stays.
void ClearInternetStorage();

}  // namespace fw::win32
