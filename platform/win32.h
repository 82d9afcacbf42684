// The one include for Windows names. Lumiset.exe gets the SDK headers; the simulated build gets
// the same names declared by platform/sim and implemented by the simulated machine.
#pragma once

#if defined(_WIN32)
#include "platform/windows/sdk.h"
#else
#include "platform/sim/api/win32_api.h"
#endif
