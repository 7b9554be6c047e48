#pragma once

#include <cstdint>
#include <functional>

#include "framework/core/Geometry.h"

namespace fw {

class TObject {
 public:
  virtual ~TObject() = default;
};

enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = unsigned;

// A recognised stroke, or one that matched nothing (GestureID 0).
struct TGestureEventInfo {
  int GestureID = 0;
  TPoint Location;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TKeyEvent = std::function<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
using TGestureEvent =
    std::function<void(TObject* Sender, const TGestureEventInfo& EventInfo, bool& Handled)>;

}  // namespace fw
