#include "framework/win32/StyleSupport.h"

#include <windows.h>

#include <exception>
#include <vector>

#include "framework/win32/Unicode.h"

namespace fw::win32 {

std::vector<fw::TStyleManager::EmbeddedStyle> EmbeddedStyles() {
  struct Found {
    std::vector<fw::TStyleManager::EmbeddedStyle> styles;
    std::exception_ptr failure;  // carried past the system's frames, thrown again below
  } found;
  EnumResourceNamesW(
      GetModuleHandleW(nullptr), kStyleResourceType,
      [](HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR context) -> BOOL {
        auto& found = *reinterpret_cast<Found*>(context);
        try {
          fw::TStyleManager::EmbeddedStyle style;
          style.ResourceName = IS_INTRESOURCE(name)
                                   ? std::to_string(reinterpret_cast<ULONG_PTR>(name))
                                   : Narrow(name);
          HRSRC info = FindResourceW(module, name, type);
          HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
          const auto* bytes =
              static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
          if (bytes) style.Data.assign(bytes, bytes + SizeofResource(module, info));
          found.styles.push_back(std::move(style));  // an empty one is reported as unreadable
          return TRUE;
        } catch (...) {
          found.failure = std::current_exception();
          return FALSE;
        }
      },
      reinterpret_cast<LONG_PTR>(&found));
  if (found.failure) std::rethrow_exception(found.failure);
  return found.styles;
}

namespace {

// Builds a dialog template in memory: the header, then each item, DWORD-aligned.
class DialogTemplate {
 public:
  DialogTemplate(const wchar_t* title, short width, short height, WORD items) {
    Dword(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    Dword(0);
    Word(items);
    Word(0), Word(0), Word(static_cast<WORD>(width)), Word(static_cast<WORD>(height));
    Word(0);  // no menu
    Word(0);  // the standard dialog class
    Text(title);
    Word(9);
    Text(L"Segoe UI");
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD systemClass,
            const wchar_t* text) {
    if (data_.size() % 2) data_.push_back(0);
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(static_cast<WORD>(cx)),
        Word(static_cast<WORD>(cy));
    Word(id);
    Word(0xFFFF), Word(systemClass);
    Text(text);
    Word(0);  // no creation data
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

 private:
  void Word(WORD w) { data_.push_back(w); }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void Text(const wchar_t* text) {
    for (; *text; ++text) Word(static_cast<WORD>(*text));
    Word(0);
  }
  std::vector<WORD> data_;
};

constexpr WORD kIconId = 100;
constexpr WORD kStaticClass = 0x0082, kButtonClass = 0x0080;

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept {
  if (message == WM_INITDIALOG) {
    SendDlgItemMessageW(dialog, kIconId, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_ERROR)), 0);
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, IDOK);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowStyleNotFoundDialog(const std::string& text) {
  const std::wstring message = Widen(text);
  DialogTemplate dialog(L"Error", 220, 62, 3);
  dialog.Item(SS_ICON, 8, 8, 20, 20, kIconId, kStaticClass, L"");
  dialog.Item(SS_LEFT | SS_NOPREFIX, 38, 12, 174, 20, 0xFFFF, kStaticClass, message.c_str());
  dialog.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 82, 40, 56, 14, IDOK, kButtonClass, L"&Close");
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), nullptr, DialogProcedure, 0);
}

}  // namespace fw::win32
