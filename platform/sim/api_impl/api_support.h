// What the simulated API functions share: the machine they act on, injected faults, and text
// handed back through the caller's ANSI buffers.
#pragma once

#include <string_view>

#include "platform/sim/api/win32_types.h"
#include "platform/sim/machine.h"

namespace sim::api {

inline Machine& M() {
    return Machine::Current();
}

// True when an injected fault makes this call of `operation` fail; the last error is then the
// fault's code, or `error` when the test named none.
bool FailsByInjection(const char* operation, DWORD error);

// Copies `text`, converted to the machine's ANSI code page, into `buffer` of `size` bytes,
// cut to fit and always terminated. Returns the number of bytes before the terminator.
int CopyAnsi(std::u16string_view text, LPSTR buffer, int size);

// The module handle GetModuleHandleA gives for "user32.dll".
HMODULE User32Module();

}  // namespace sim::api
