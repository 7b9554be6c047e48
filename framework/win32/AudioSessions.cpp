#include "framework/win32/AudioSessions.h"

#include <windows.h>
// Must follow windows.h.
#include <audiopolicy.h>
#include <mmdeviceapi.h>

#include "framework/win32/Handles.h"

namespace fw::win32 {

namespace {

bool DevicePlaysSoundOfThisProcess(IMMDevice& device) {
  ComPtr<IAudioSessionManager2> manager;
  if (FAILED(device.Activate(__uuidof(IAudioSessionManager2), CLSCTX_ALL, nullptr,
                             manager.put_void())))
    return false;
  ComPtr<IAudioSessionEnumerator> sessions;
  int count = 0;
  if (FAILED(manager->GetSessionEnumerator(sessions.put())) || FAILED(sessions->GetCount(&count)))
    return false;
  const DWORD self = GetCurrentProcessId();
  for (int i = 0; i < count; ++i) {
    ComPtr<IAudioSessionControl> control;
    ComPtr<IAudioSessionControl2> control2;
    AudioSessionState state{};
    DWORD process = 0;
    if (SUCCEEDED(sessions->GetSession(i, control.put())) &&
        SUCCEEDED(control->QueryInterface(__uuidof(IAudioSessionControl2), control2.put_void())) &&
        SUCCEEDED(control2->GetProcessId(&process)) && process == self &&
        SUCCEEDED(control2->GetState(&state)) && state == AudioSessionStateActive)
      return true;
  }
  return false;
}

}  // namespace

bool ThisProcessPlaysSound() {
  ComPtr<IMMDeviceEnumerator> enumerator;
  if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                              __uuidof(IMMDeviceEnumerator), enumerator.put_void())))
    return false;
  ComPtr<IMMDeviceCollection> devices;
  UINT count = 0;
  if (FAILED(enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, devices.put())) ||
      FAILED(devices->GetCount(&count)))
    return false;
  for (UINT i = 0; i < count; ++i) {
    ComPtr<IMMDevice> device;
    if (SUCCEEDED(devices->Item(i, device.put())) && DevicePlaysSoundOfThisProcess(*device.get()))
      return true;
  }
  return false;
}

}  // namespace fw::win32
