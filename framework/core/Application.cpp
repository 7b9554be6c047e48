#include "framework/core/Application.h"

#include "framework/core/Exceptions.h"
#include "framework/core/Layout.h"
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

void TApplication::AddForm(std::unique_ptr<TForm> form) {
  const std::string resource = form->LayoutResourceName();
  LoadLayout(*form, resource, LayoutResource(resource));
  // Scale for the monitor the window will appear on before any control exists.
  form->ScaleForPixelsPerInch(CreateFormPeer(*form));
  // Creation order puts every parent before its children, and later siblings above earlier.
  for (TComponent* component : form->Components()) {
    auto* control = dynamic_cast<TControl*>(component);
    if (!control) continue;
    TWinControl* parent = control->Parent();
    if (!parent || !parent->Peer())
      throw Exception("The control '" + control->Name() + "' has no parent to hold it");
    CreateControlPeer(*control, *parent);
  }
  forms_.push_back(std::move(form));
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

void TApplication::WatchIdle(std::chrono::milliseconds timeout, std::function<void()> onIdle) {
  if (timeout <= timeout.zero() || idle_.Armed()) return;
  StartIdleTimer(timeout);
  idle_.Arm(timeout, Now());
  onIdle_ = std::move(onIdle);
}

void TApplication::StopWatchingIdle() {
  if (!idle_.Armed()) return;
  idle_.Disarm();
  StopIdleTimer();
}

void TApplication::IdleTimerElapsed() {
  if (!idle_.Armed()) return;
  const auto now = Now();
  if (!idle_.Due(now)) {
    StartIdleTimer(std::chrono::ceil<std::chrono::milliseconds>(idle_.Remaining(now)));
    return;
  }
  StopWatchingIdle();
  const std::function<void()> onIdle = onIdle_;  // the handler may start a new watch
  Guard(onIdle);
}

void TApplication::StartIdleTimer(std::chrono::milliseconds) {
  throw Exception("This platform has no idle timer");
}

void TApplication::DestroyForms() {
  while (!forms_.empty()) forms_.pop_back();
}

}  // namespace fw
