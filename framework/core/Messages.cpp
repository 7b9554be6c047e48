#include "framework/core/Messages.h"

#include <cstdint>
#include <cstdio>

#include "framework/core/Exceptions.h"
#include "framework/core/Utf8.h"

namespace fw {

std::string WithClosingFullStop(std::string_view message) {
  std::string result(message);
  if (!message.empty() && LastCodePoint(message) > U'.') result += '.';
  return result;
}

std::string ApplicationErrorText(std::string_view typeName, std::string_view moduleName,
                                 const void* address, std::string_view message) {
  char hex[2 * sizeof(void*) + 1];
  std::snprintf(hex, sizeof hex, "%0*llX", static_cast<int>(2 * sizeof(void*)),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(address)));
  std::string text = "Exception ";
  text.append(typeName).append(" in module ").append(moduleName).append(" at ").append(hex);
  text.append(".\n").append(WithClosingFullStop(message));
  return text;
}

std::string ExceptionTypeName(const std::exception& e) {
  if (const auto* own = dynamic_cast<const Exception*>(&e)) return own->TypeName();
  return "Exception";
}

const void* ExceptionAddress(const std::exception& e) {
  if (const auto* own = dynamic_cast<const Exception*>(&e)) return own->Address();
  return nullptr;
}

std::string StyleNotFoundText(std::string_view styleName) {
  return "Style '" + std::string(styleName) + "' not found";
}

}  // namespace fw
