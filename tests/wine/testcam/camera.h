// The two capture devices of the DLL, each answered by the simulated camera's model (the code the
// simulated machine runs), shared by every filter object of the device in this process.
#pragma once

#include <functional>

#include "platform/sim/camera/camera_driver.h"
#include "platform/win32.h"

namespace testcam {

enum class Device { Camera, Foreign };

// Runs one request on the device's model, one request at a time in the whole process (filters
// are free-threaded), then appends the lines the model logged for it to the file that
// LUMISET_TESTCAM_LOG names.
HRESULT Ask(Device device, const std::function<HRESULT(sim::CameraDriver&)>& request);

}  // namespace testcam
