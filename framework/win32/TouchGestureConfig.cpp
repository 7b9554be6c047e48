#include "framework/win32/TouchGestureConfig.h"

namespace fw::win32 {

namespace {

BOOL WINAPI SystemSetGestureConfig(HWND window, DWORD reserved, UINT count, PGESTURECONFIG configs,
                                   UINT size) {
  using Call = SetGestureConfigCall;
  static const Call call = [] {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Call>(
                        reinterpret_cast<void*>(GetProcAddress(user32, "SetGestureConfig")))
                  : nullptr;
  }();
  if (!call) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
  }
  return call(window, reserved, count, configs, size);
}

GESTURECONFIG Entry(DWORD id, bool wanted, DWORD flags) {
  return {id, wanted ? flags : 0u, wanted ? 0u : flags};
}

}  // namespace

SetGestureConfigCall SetGestureConfigFunction = SystemSetGestureConfig;

std::vector<GESTURECONFIG> GestureConfigFor(const fw::TTouchGestures& g) {
  constexpr DWORD kEveryPan = GC_PAN | GC_PAN_WITH_SINGLE_FINGER_VERTICALLY |
                              GC_PAN_WITH_SINGLE_FINGER_HORIZONTALLY | GC_PAN_WITH_GUTTER |
                              GC_PAN_WITH_INERTIA;
  return {Entry(GID_ZOOM, g.Zoom, GC_ZOOM), Entry(GID_PAN, g.Pan, kEveryPan),
          Entry(GID_ROTATE, g.Rotate, GC_ROTATE),
          Entry(GID_TWOFINGERTAP, g.TwoFingerTap, GC_TWOFINGERTAP),
          Entry(GID_PRESSANDTAP, g.PressAndTap, GC_PRESSANDTAP)};
}

void ConfigureTouchGestures(HWND window) {
  std::vector<GESTURECONFIG> configs = GestureConfigFor(fw::ControlTouchGestures);
  SetGestureConfigFunction(window, 0, static_cast<UINT>(configs.size()), configs.data(),
                           sizeof(GESTURECONFIG));
}

}  // namespace fw::win32
