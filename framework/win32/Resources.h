#pragma once

#include <string>
#include <string_view>

namespace fw::win32 {

// The bytes of a raw-data (RCDATA) resource of the executable; they live as long as the
// module. Throws when there is no such resource.
std::string_view LoadRawResource(const std::wstring& name);

}  // namespace fw::win32
