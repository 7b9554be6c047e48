#include "framework/win32/Resources.h"

#include <windows.h>

#include "framework/core/Exceptions.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

std::string_view LoadRawResource(const std::wstring& name) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw fw::Exception("Resource " + Narrow(name) + " not found");
  return {static_cast<const char*>(data), SizeofResource(module, info)};
}

}  // namespace fw::win32
