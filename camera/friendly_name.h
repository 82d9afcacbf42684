// Recognising the camera's capture device by the friendly name its driver registers.
#pragma once

#include "platform/win32.h"

namespace camera {

// True when the first four bytes of the name's 8-bit form (in the ANSI code page) equal the
// first four bytes of an entry of the friendly-name prefix table: the name begins with "USB "
// or with "CV L". Only a short head of the name is converted, so a name of any length is safe.
bool IsCameraFriendlyName(const WCHAR* name);

}  // namespace camera
