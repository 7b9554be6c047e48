#include "framework/core/Actions.h"

namespace fw {

bool TAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

}  // namespace fw
