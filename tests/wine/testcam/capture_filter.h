// The capture filter of one of the DLL's devices: a DirectShow filter without pins that answers
// the camera's control interfaces (IKsPropertySet, IAMVideoProcAmp, ISpecifyPropertyPages).
#pragma once

#include "platform/win32.h"
#include "tests/wine/testcam/camera.h"

namespace testcam {

HRESULT CreateCaptureFilter(Device device, REFIID riid, void** object);

}  // namespace testcam
