// Makers of the simulated COM objects, each returned with the one reference its caller owns.
#pragma once

#include "platform/sim/api/win32_dshow.h"

namespace sim {

// The system device enumerator (CLSID_SystemDeviceEnum).
ICreateDevEnum* NewSystemDeviceEnum();
// The moniker of one capture device, by its id in the machine's VideoDevices.
IMoniker* NewDeviceMoniker(int device_id);
// The capture filter a device's moniker binds to.
IBaseFilter* NewCaptureFilter(int device_id);

// What a call on an object answers once its device is gone or its machine torn down.
inline const HRESULT kDeviceRemoved = HRESULT_FROM_WIN32(1617);       // ERROR_DEVICE_REMOVED
inline const HRESULT kDeviceNotFunctioning = HRESULT_FROM_WIN32(31);  // ERROR_GEN_FAILURE

}  // namespace sim
