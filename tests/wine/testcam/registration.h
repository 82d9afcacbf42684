// What regsvr32 asks of the DLL: its classes in HKCR\CLSID, and its capture devices in the video
// input category through the filter mapper, the way a virtual camera registers itself.
#pragma once

#include "platform/win32.h"

namespace testcam {

// The test camera and its property page.
HRESULT RegisterCamera();
HRESULT UnregisterCamera();

// The foreign device ("Integrated Webcam").
HRESULT RegisterForeign();
HRESULT UnregisterForeign();

}  // namespace testcam
