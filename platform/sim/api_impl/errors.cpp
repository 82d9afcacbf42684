#include "platform/sim/api/win32_types.h"

namespace {
thread_local DWORD last_error = 0;
}

DWORD WINAPI GetLastError() {
    return last_error;
}
void WINAPI SetLastError(DWORD error) {
    last_error = error;
}
