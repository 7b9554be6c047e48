#pragma once

#include "framework/core/Geometry.h"
#include "framework/core/InputSource.h"

namespace fw {

class TApplication;

// What a backend makes of one system event for the idle watch: an edge of some source, where
// the pointer is, or nothing.
struct TInputReport {
  enum class Kind { Nothing, Edge, Pointer };
  Kind kind = Kind::Nothing;
  TInputEdge edge = TInputEdge::Other;
  TInputSource source{};
  TPoint pointer{};

  static TInputReport Edge(TInputEdge edge, TInputSource source = {}) {
    return {Kind::Edge, edge, source, {}};
  }
  static TInputReport PointerAt(TPoint at) { return {Kind::Pointer, TInputEdge::Other, {}, at}; }
};

// Hands the report to `application`. True: the input only ended the idle warning and goes no
// further.
bool DeliverInput(TApplication& application, const TInputReport& report);

}  // namespace fw
