// Process tokens: whether a program of the current machine runs with administrator rights.
#include "platform/sim/api/win32_security.h"
#include "platform/sim/api_impl/api_support.h"

namespace {

using sim::api::M;

// GetCurrentProcess's pseudo handle, as on Windows.
const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));

}  // namespace

HANDLE WINAPI GetCurrentProcess() {
    return kCurrentProcess;
}

HANDLE WINAPI OpenProcess(DWORD dwDesiredAccess, BOOL /*bInheritHandle*/, DWORD dwProcessId) {
    sim::Machine& machine = M();
    if (sim::api::FailsByInjection("OpenProcess", ERROR_ACCESS_DENIED)) {
        return nullptr;
    }
    if (dwDesiredAccess != PROCESS_QUERY_LIMITED_INFORMATION) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    sim::Kernel& kernel = machine.kernel();
    const auto handle = kernel.OpenProcessHandle(kernel.CurrentProcess(), dwProcessId);
    if (!handle) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    machine.resources().Acquired(sim::kinds::kProcessHandle);
    return reinterpret_cast<HANDLE>(*handle);
}

BOOL WINAPI OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle) {
    sim::Machine& machine = M();
    if (sim::api::FailsByInjection("OpenProcessToken", ERROR_ACCESS_DENIED)) {
        return FALSE;
    }
    sim::Kernel& kernel = machine.kernel();
    const bool known_process =
        ProcessHandle == kCurrentProcess ||
        kernel.ProcessOfHandle(kernel.CurrentProcess(),
                               reinterpret_cast<sim::Kernel::Handle>(ProcessHandle));
    if (!known_process || !TokenHandle) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if ((DesiredAccess & ~static_cast<DWORD>(TOKEN_QUERY)) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    *TokenHandle = reinterpret_cast<HANDLE>(
        kernel.OpenTokenHandle(kernel.CurrentProcess(), machine.rights().administrator));
    machine.resources().Acquired(sim::kinds::kTokenHandle);
    return TRUE;
}

BOOL WINAPI GetTokenInformation(HANDLE TokenHandle, TOKEN_INFORMATION_CLASS TokenInformationClass,
                                LPVOID TokenInformation, DWORD TokenInformationLength,
                                PDWORD ReturnLength) {
    sim::Machine& machine = M();
    if (sim::api::FailsByInjection("GetTokenInformation", ERROR_ACCESS_DENIED)) {
        return FALSE;
    }
    sim::Kernel& kernel = machine.kernel();
    const auto elevated = kernel.TokenElevation(kernel.CurrentProcess(),
                                                reinterpret_cast<sim::Kernel::Handle>(TokenHandle));
    if (!elevated) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (TokenInformationClass != TokenElevation) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!ReturnLength) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    *ReturnLength = sizeof(TOKEN_ELEVATION);
    if (!TokenInformation || TokenInformationLength < sizeof(TOKEN_ELEVATION)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    static_cast<TOKEN_ELEVATION*>(TokenInformation)->TokenIsElevated = *elevated ? 1 : 0;
    return TRUE;
}
