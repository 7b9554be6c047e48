#pragma once

#include "framework/core/Component.h"

namespace fw {

class TActionList : public TComponent {
 public:
  using TComponent::TComponent;
};

// A command that gestures (and other sources) can execute.
class TAction : public TComponent {
 public:
  using TComponent::TComponent;
  TActionList* ActionList = nullptr;
  std::string Caption;
  TNotifyEvent OnExecute;
  // True when a handler ran.
  bool Execute();
};

}  // namespace fw
