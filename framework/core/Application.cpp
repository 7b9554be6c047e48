#include "framework/core/Application.h"

#include "framework/core/Exceptions.h"
#include "framework/core/Messages.h"

namespace fw {

TApplication* Application = nullptr;

TApplication::TApplication() {
  if (Application) throw Exception("An application object exists already");
  Application = this;
}

TApplication::~TApplication() {
  if (Application == this) Application = nullptr;
}

void TApplication::Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    HandleCurrentException();
  }
}

void TApplication::HandleCurrentException() {
  try {
    throw;
  } catch (const std::exception& e) {
    HandleException(e);
  } catch (...) {
    HandleException(Exception("An exception of an unknown type was raised"));
  }
}

void TApplication::HandleException(const std::exception& e) {
  if (dynamic_cast<const EAbort*>(&e)) return;
  ShowErrorMessage(WithClosingFullStop(e.what()));
}

void TApplication::DestroyForms() {
  while (!forms_.empty()) forms_.pop_back();
}

}  // namespace fw
