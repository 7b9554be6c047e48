#pragma once

#include <stdexcept>
#include <string>

namespace fw {

// The framework's exception: a message plus the type name and code address that the
// "Application Error" box reports.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message);
  virtual const char* TypeName() const { return "Exception"; }
  const void* Address() const { return address_; }

 private:
  const void* address_;
};

// Aborts the current operation silently: the application's handler shows nothing.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
  const char* TypeName() const override { return "EAbort"; }
};

// A layout resource that is malformed or does not fit the form that loads it.
class ELayoutError : public Exception {
 public:
  using Exception::Exception;
  const char* TypeName() const override { return "ELayoutError"; }
};

// A failure code from a COM object, carrying the object's own description.
class EOleException : public Exception {
 public:
  EOleException(const std::string& message, long errorCode)
      : Exception(message), code_(errorCode) {}
  const char* TypeName() const override { return "EOleException"; }
  long ErrorCode() const { return code_; }

 private:
  long code_;
};

// A style that is embedded but cannot be read.
class EStyleError : public Exception {
 public:
  using Exception::Exception;
  const char* TypeName() const override { return "EStyleError"; }
};

}  // namespace fw
