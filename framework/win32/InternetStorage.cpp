#include "framework/win32/InternetStorage.h"

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

namespace {

using UniqueCacheFind = UniqueHandle<HANDLE, FindCloseUrlCache>;

// What failed, with the error code the caller read right after the failing call.
std::string Failed(const std::string& what, DWORD error) {
  return what + " (error " + std::to_string(error) + ")";
}

// Runs one step of a search into `buffer`, growing it as the step asks. False at the end of
// the search or on a failure (GetLastError tells which).
template <class Step>
bool NextEntry(std::vector<std::uint64_t>& buffer, Step&& step) {
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof buffer[0]);
    if (step(reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data()), &size)) return true;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    buffer.resize(size / sizeof buffer[0] + 1);
  }
}

std::string Name(const wchar_t* pattern) { return pattern ? Narrow(pattern) : "the page cache"; }

// Deletes every entry the pattern finds: nullptr for cached pages, "cookie:" for persistent
// cookies, "visited:" for history. Wine's WinINet finds every entry with no pattern and none
// with the others; an entry another search found first is gone already.
void DeleteCacheEntries(const wchar_t* pattern, std::vector<std::string>& failures) {
  std::vector<std::uint64_t> buffer(512);
  UniqueCacheFind search;
  bool found = NextEntry(buffer, [&](INTERNET_CACHE_ENTRY_INFOW* entry, DWORD* size) {
    search.reset(FindFirstUrlCacheEntryW(pattern, entry, size));
    return static_cast<bool>(search);
  });
  if (!found) {
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_ITEMS)
      failures.push_back(Failed("cannot search " + Name(pattern), error));
    return;
  }
  int kept = 0;
  DWORD lastError = 0;
  while (found) {
    const auto* entry = reinterpret_cast<const INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
    if (!DeleteUrlCacheEntryW(entry->lpszSourceUrlName)) {
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_NOT_FOUND) {
        ++kept;
        lastError = error;
      }
    }
    found = NextEntry(buffer, [&](INTERNET_CACHE_ENTRY_INFOW* next, DWORD* size) {
      return FindNextUrlCacheEntryW(search.get(), next, size) != FALSE;
    });
  }
  const DWORD error = GetLastError();
  if (error != ERROR_NO_MORE_ITEMS)
    failures.push_back(Failed("cannot go on in " + Name(pattern), error));
  if (kept) {
    failures.push_back(
        Failed(std::to_string(kept) + " entries of " + Name(pattern) + " stayed", lastError));
  }
}

// Web storage, stored form data and passwords live outside WinINet's cache. The Internet
// Options' own removal of the browsing history (the entry behind "RunDll32.exe
// InetCpl.cpl,ClearMyTracksByProcess 255") takes them with everything else; it reports
// nothing back, so only reaching it can fail.
void ClearBrowsingHistory(std::vector<std::string>& failures) {
  const UniqueModule options(LoadLibraryW(L"inetcpl.cpl"));
  using Entry = void(WINAPI*)(HWND, HINSTANCE, LPWSTR, int);
  const auto clear = options ? reinterpret_cast<Entry>(reinterpret_cast<void*>(
                                   GetProcAddress(options.get(), "ClearMyTracksByProcessW")))
                             : nullptr;
  if (!clear) {
    const DWORD error = GetLastError();
    failures.push_back(Failed("cannot reach the removal of the browsing history", error));
    return;
  }
  // 255: every kind of history (cookies and site data, form data, passwords, ...); 256: no
  // progress window.
  wchar_t everythingQuietly[] = L"511";
  clear(nullptr, options.get(), everythingQuietly, SW_HIDE);
}

}  // namespace

void ClearInternetStorage() {
  std::vector<std::string> failures;
  if (!InternetSetOptionW(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0)) {
    const DWORD error = GetLastError();
    failures.push_back(Failed("cannot end the browser session", error));
  }
  for (const wchar_t* pattern : {L"cookie:", L"visited:", static_cast<const wchar_t*>(nullptr)})
    DeleteCacheEntries(pattern, failures);
  ClearBrowsingHistory(failures);
  if (failures.empty()) return;
  std::string text = "The browser's storage was not cleared completely: ";
  for (std::size_t i = 0; i < failures.size(); ++i) text += (i ? "; " : "") + failures[i];
  throw fw::Exception(text);
}

}  // namespace fw::win32
