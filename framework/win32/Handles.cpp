#include "framework/win32/Handles.h"

#include "framework/win32/Errors.h"

namespace fw::win32 {

OleInitialization::OleInitialization() {
  OleCheck(OleInitialize(nullptr), "OLE cannot be initialized");
}

ComInitialization::ComInitialization() {
  OleCheck(CoInitialize(nullptr), "COM cannot be initialized");
}

}  // namespace fw::win32
