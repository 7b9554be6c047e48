#include "framework/core/SettingsReload.h"

namespace fw {

TSettingsReload::TCommand TSettingsReload::Handle(TInput input) {
  switch (input) {
    case TInput::SourceChanged:
      settling_ = true;
      return TCommand::StartSettleTimer;
    case TInput::Settled:
      if (!settling_) return TCommand::None;
      settling_ = false;
      return TCommand::Read;
    case TInput::ReadValid:
      waiting_ = !splash_;
      return splash_ ? TCommand::Apply : TCommand::None;
    case TInput::ReadInvalid:
      waiting_ = false;
      return TCommand::None;
    case TInput::SplashShown:
      splash_ = true;
      if (!waiting_) return TCommand::None;
      waiting_ = false;
      return TCommand::Apply;
    case TInput::PageOpened:
      splash_ = false;
      return TCommand::None;
  }
  return TCommand::None;
}

}  // namespace fw
