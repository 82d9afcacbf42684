// Kernel functions, on the current machine's virtual clock. Threads made by CreateThread are
// program threads of the calling process; waits give the turn to the other threads.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <thread>

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

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES /*lpEventAttributes*/, BOOL bManualReset,
                           BOOL bInitialState, LPCSTR lpName) {
    sim::Machine& machine = M();
    if (sim::api::FailsByInjection("CreateEventA", ERROR_NOT_ENOUGH_MEMORY)) {
        return nullptr;
    }
    // Named events are shared between processes; nothing here needs one.
    if (lpName) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    sim::Kernel& kernel = machine.kernel();
    const sim::Kernel::Handle handle = kernel.OpenEventHandle(
        kernel.CurrentProcess(), bManualReset != FALSE, bInitialState != FALSE);
    machine.resources().Acquired(sim::kinds::kEventHandle);
    return reinterpret_cast<HANDLE>(handle);
}

namespace {

BOOL SignalEvent(HANDLE hEvent, bool signaled) {
    sim::Kernel& kernel = M().kernel();
    const auto event = kernel.EventOfHandle(kernel.CurrentProcess(), ToKernel(hEvent));
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    event->signaled = signaled;
    return TRUE;
}

}  // namespace

BOOL WINAPI SetEvent(HANDLE hEvent) {
    return SignalEvent(hEvent, true);
}

BOOL WINAPI ResetEvent(HANDLE hEvent) {
    return SignalEvent(hEvent, false);
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    sim::Machine& machine = M();
    machine.trace().Record("WaitForSingleObject");
    sim::Kernel& kernel = machine.kernel();
    std::function<bool()> ready;
    std::function<void()> consume = [] {};
    if (const auto event = kernel.EventOfHandle(kernel.CurrentProcess(), ToKernel(hHandle))) {
        ready = [event] { return event->signaled; };
        // A successful wait resets an auto-reset event.
        consume = [event] { event->signaled = event->manual_reset; };
    } else if (const auto thread = ThreadOf(hHandle)) {
        ready = [&kernel, awaited = *thread] { return kernel.ThreadFinished(awaited); };
    } else {
        return WAIT_FAILED;
    }
    if (!ready() && dwMilliseconds != 0) {
        std::optional<sim::Millis> due;
        if (dwMilliseconds != INFINITE) {
            due = kernel.Now() + dwMilliseconds;
        }
        kernel.Block(sim::WaitCondition{ready, [due] { return due; }});
    }
    if (!ready()) {
        return WAIT_TIMEOUT;
    }
    consume();
    return WAIT_OBJECT_0;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    sim::Machine& machine = M();
    machine.trace().Record("CloseHandle");
    sim::Kernel& kernel = machine.kernel();
    const sim::Kernel::HandleKind kind =
        kernel.KindOfHandle(kernel.CurrentProcess(), ToKernel(hObject));
    if (!kernel.CloseHandle(kernel.CurrentProcess(), ToKernel(hObject))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    switch (kind) {
        case sim::Kernel::HandleKind::Event:
            machine.resources().Released(sim::kinds::kEventHandle);
            break;
        case sim::Kernel::HandleKind::Token:
            machine.resources().Released(sim::kinds::kTokenHandle);
            break;
        case sim::Kernel::HandleKind::Process:
            machine.resources().Released(sim::kinds::kProcessHandle);
            break;
        default:
            machine.resources().Released(sim::kinds::kThreadHandle);
            break;
    }
    return TRUE;
}

// The lock word is 0 when free; when held it names the holder: its program thread, or 0 for any
// other thread (a test's own). Acquire and release order memory as on Windows. A program thread
// finding a lock held by a program thread means the holder gave up its turn with it, which would
// hang the machine; other holders really run meanwhile and let go soon.
void WINAPI InitializeSRWLock(PSRWLOCK SRWLock) {
    std::atomic_ref<PVOID>(SRWLock->Ptr).store(nullptr, std::memory_order_release);
}

void WINAPI AcquireSRWLockExclusive(PSRWLOCK SRWLock) {
    const std::uintptr_t me = sim::Kernel::CurrentThread();
    const auto mine = reinterpret_cast<PVOID>(me << 1 | 1);
    std::atomic_ref<PVOID> word(SRWLock->Ptr);
    PVOID holder = nullptr;
    while (!word.compare_exchange_weak(holder, mine, std::memory_order_acquire)) {
        if (holder != nullptr && me != 0 && reinterpret_cast<std::uintptr_t>(holder) >> 1 != 0) {
            std::fputs("sim: a lock is held across a wait\n", stderr);
            std::abort();
        }
        holder = nullptr;
        std::this_thread::yield();
    }
}

void WINAPI ReleaseSRWLockExclusive(PSRWLOCK SRWLock) {
    std::atomic_ref<PVOID>(SRWLock->Ptr).store(nullptr, std::memory_order_release);
}
