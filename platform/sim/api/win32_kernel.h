// Kernel functions (processthreadsapi.h, synchapi.h, sysinfoapi.h) on the virtual clock.
#pragma once

#include "platform/sim/api/win32_types.h"

void WINAPI Sleep(DWORD dwMilliseconds);
DWORD WINAPI GetTickCount();
DWORD WINAPI GetCurrentThreadId();
DWORD WINAPI GetCurrentProcessId();
