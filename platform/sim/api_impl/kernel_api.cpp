// Kernel functions, on the current machine's virtual clock. Threads made by CreateThread are
// program threads of the calling process; waits give the turn to the other threads.
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/sim/api/win32_kernel.h"
#include "platform/sim/api_impl/api_support.h"
#include "platform/sim/machine.h"

namespace {

using sim::api::M;

sim::Kernel::Handle ToKernel(HANDLE handle) {
    return reinterpret_cast<sim::Kernel::Handle>(handle);
}

// The thread behind a handle the calling process holds; sets ERROR_INVALID_HANDLE otherwise.
std::optional<sim::ThreadId> ThreadOf(HANDLE handle) {
    sim::Kernel& kernel = M().kernel();
    auto thread = kernel.ThreadOfHandle(kernel.CurrentProcess(), ToKernel(handle));
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return thread;
}

}  // namespace

void WINAPI Sleep(DWORD dwMilliseconds) {
    M().kernel().Sleep(dwMilliseconds);
}

DWORD WINAPI GetTickCount() {
    return static_cast<DWORD>(M().kernel().Now());
}

DWORD WINAPI GetCurrentThreadId() {
    return sim::Kernel::CurrentThread();
}

DWORD WINAPI GetCurrentProcessId() {
    return M().kernel().CurrentProcess();
}

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES /*lpThreadAttributes*/, SIZE_T /*dwStackSize*/,
                           LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                           DWORD dwCreationFlags, LPDWORD lpThreadId) {
    sim::Machine& machine = M();
    sim::Kernel& kernel = machine.kernel();
    const sim::ProcessId process = kernel.CurrentProcess();
    if (process == 0) {
        std::fputs("sim: CreateThread called outside a program thread\n", stderr);
        std::abort();
    }
    machine.trace().Record("CreateThread");
    if (sim::api::FailsByInjection("CreateThread", ERROR_NOT_ENOUGH_MEMORY)) {
        return nullptr;
    }
    // A suspended start is not simulated; without a routine the thread would only crash.
    if (!lpStartAddress || (dwCreationFlags & CREATE_SUSPENDED)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const sim::ThreadId thread = kernel.StartThreadWithExitCode(
        process, [lpStartAddress, lpParameter] { return lpStartAddress(lpParameter); });
    const sim::Kernel::Handle handle = kernel.OpenThreadHandle(process, thread);
    machine.resources().Acquired(sim::kinds::kThreadHandle);
    if (lpThreadId) {
        *lpThreadId = thread;
    }
    return reinterpret_cast<HANDLE>(handle);
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    const auto thread = ThreadOf(hThread);
    if (!thread) {
        return FALSE;
    }
    if (!lpExitCode) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    *lpExitCode = M().kernel().ExitCode(*thread).value_or(STILL_ACTIVE);
    return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    sim::Machine& machine = M();
    machine.trace().Record("WaitForSingleObject");
    const auto thread = ThreadOf(hHandle);
    if (!thread) {
        return WAIT_FAILED;
    }
    sim::Kernel& kernel = machine.kernel();
    const sim::ThreadId awaited = *thread;
    if (!kernel.ThreadFinished(awaited) && dwMilliseconds != 0) {
        std::optional<sim::Millis> due;
        if (dwMilliseconds != INFINITE) {
            due = kernel.Now() + dwMilliseconds;
        }
        kernel.Block(sim::WaitCondition{
            [&kernel, awaited] { return kernel.ThreadFinished(awaited); }, [due] { return due; }});
    }
    return kernel.ThreadFinished(awaited) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    sim::Machine& machine = M();
    machine.trace().Record("CloseHandle");
    sim::Kernel& kernel = machine.kernel();
    if (!kernel.CloseHandle(kernel.CurrentProcess(), ToKernel(hObject))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    machine.resources().Released(sim::kinds::kThreadHandle);
    return TRUE;
}
