#include "framework/core/InputReport.h"

#include "framework/core/Application.h"

namespace fw {

bool DeliverInput(TApplication& application, const TInputReport& report) {
  switch (report.kind) {
    case TInputReport::Kind::Edge:
      return application.InputArrived(report.edge, report.source);
    case TInputReport::Kind::Pointer:
      application.PointerAt(report.pointer);
      return false;
    case TInputReport::Kind::Nothing:
      return false;
  }
  return false;
}

}  // namespace fw
