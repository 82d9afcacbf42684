// Kernel functions, on the current machine's virtual clock.
#include "platform/sim/api/win32_kernel.h"
#include "platform/sim/machine.h"

void WINAPI Sleep(DWORD dwMilliseconds) {
    sim::Machine::Current().kernel().Sleep(dwMilliseconds);
}

DWORD WINAPI GetTickCount() {
    return static_cast<DWORD>(sim::Machine::Current().kernel().Now());
}

DWORD WINAPI GetCurrentThreadId() {
    return sim::Kernel::CurrentThread();
}

DWORD WINAPI GetCurrentProcessId() {
    return sim::Machine::Current().kernel().CurrentProcess();
}
