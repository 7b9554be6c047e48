#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace fw {

// Appends "." when the last character sorts after "." (letters and digits do; ".", "!",
// ")" and a space do not). The text is UTF-8; the comparison is by code point.
std::string WithClosingFullStop(std::string_view message);

// "Exception <type> in module <module> at <address>.\n<message>." as the message box shown for an
// exception that escapes start-up reads.
std::string ApplicationErrorText(std::string_view typeName, std::string_view moduleName,
                                 const void* address, std::string_view message);

// The type name and message of any exception, the framework's own or the standard library's.
std::string ExceptionTypeName(const std::exception& e);
const void* ExceptionAddress(const std::exception& e);

// "Style '%s' not found" and its kin, filled in.
std::string StyleNotFoundText(std::string_view styleName);

}  // namespace fw
