#include "framework/win32/Errors.h"

#include <oleauto.h>

#include <cwchar>

#include "framework/core/Exceptions.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

std::wstring DescribeHResult(HRESULT hr) {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) == S_OK && info) {
    UniqueBstr description;
    if (SUCCEEDED(info->GetDescription(description.put())) && !description.str().empty())
      return description.str();
  }
  wchar_t* filled = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&filled), 0, nullptr);
  const UniqueLocalText buffer(filled);
  std::wstring text;
  if (length && buffer) {
    text.assign(buffer.get(), length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
      text.pop_back();
    }
  }
  if (text.empty()) {
    wchar_t hex[32];
    std::swprintf(hex, 32, L"OLE error %08X", static_cast<unsigned>(hr));
    text = hex;
  }
  return text;
}

void ThrowSystemError(DWORD error, const std::string& context) {
  throw fw::Exception(context + " (error " + std::to_string(error) + ")");
}

void OleCheck(HRESULT hr, const std::string& context) {
  if (SUCCEEDED(hr)) return;
  const std::string description = Narrow(DescribeHResult(hr));
  throw fw::EOleException(context.empty() ? description : context + ": " + description, hr);
}

}  // namespace fw::win32
