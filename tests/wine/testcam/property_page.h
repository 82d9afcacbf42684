// The test camera's property page: a small read-only view of a few of the camera's values,
// read through the filter it is given, for the system's property frame to show.
#pragma once

#include "platform/win32.h"

namespace testcam {

HRESULT CreatePropertyPage(REFIID riid, void** object);

}  // namespace testcam
