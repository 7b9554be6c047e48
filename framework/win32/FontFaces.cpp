#include "framework/win32/FontFaces.h"

#include <map>

#include "framework/win32/Handles.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

namespace {

bool EnumeratesFont(const std::wstring& face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(query.lfFaceName, face.c_str(), LF_FACESIZE);
  BorrowedDc screen(nullptr);
  if (!screen) return true;
  bool found = false;
  EnumFontFamiliesExW(
      screen.get(), &query,
      [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
        *reinterpret_cast<bool*>(found) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// Asked for every control's font: the answer is kept, as enumerating fonts is slow.
bool FontInstalled(const std::wstring& face) {
  static std::map<std::wstring, bool> known;
  const auto found = known.find(face);
  if (found != known.end()) return found->second;
  return known[face] = EnumeratesFont(face);
}

}  // namespace

std::wstring AvailableFace(const std::string& face, const wchar_t* fallback) {
  const std::wstring wanted = Widen(face);
  // The fallback itself needs no asking: it is what the answer would be either way.
  if (wanted == fallback) return wanted;
  return FontInstalled(wanted) ? wanted : std::wstring(fallback);
}

UniqueFont CreateFontOf(const fw::TFont& font, int height, const wchar_t* fallback) {
  return UniqueFont(
      CreateFontW(height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, font.Italic, FALSE, FALSE,
                  font.Charset == fw::TFontCharset::Ansi ? ANSI_CHARSET : DEFAULT_CHARSET,
                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                  DEFAULT_PITCH | FF_DONTCARE, AvailableFace(font.Name, fallback).c_str()));
}

}  // namespace fw::win32
