// The registry functions, on the current machine.
#include "platform/sim/api/win32_registry.h"
#include "platform/sim/machine.h"

namespace {

// The error an injected fault reports when the test named none.
LSTATUS Injected(const char* operation, LSTATUS fallback) {
    if (auto code = sim::Machine::Current().faults().Take(operation)) {
        return *code != 0 ? static_cast<LSTATUS>(*code) : fallback;
    }
    return ERROR_SUCCESS;
}

// A standard user may read the machine's keys but not change them: asking for a right to write
// below HKEY_LOCAL_MACHINE is refused. (Only the predefined key is checked as the parent; the
// program opens its keys from there.)
bool RefusedToStandardUser(HKEY parent, REGSAM access) {
    constexpr REGSAM kWriting = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | 0x00010000 |
                                0x00040000 | 0x00080000;  // DELETE, WRITE_DAC, WRITE_OWNER
    return parent == HKEY_LOCAL_MACHINE && (access & kWriting) != 0 &&
           !sim::Machine::Current().rights().administrator;
}

}  // namespace

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                             PHKEY phkResult) {
    auto& machine = sim::Machine::Current();
    machine.trace().Record("RegOpenKeyExA");
    if (LSTATUS injected = Injected("RegOpenKeyExA", ERROR_ACCESS_DENIED)) {
        if (phkResult) {
            *phkResult = nullptr;
        }
        return injected;
    }
    if (ulOptions != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    if (RefusedToStandardUser(hKey, samDesired)) {
        if (phkResult) {
            *phkResult = nullptr;
        }
        return ERROR_ACCESS_DENIED;
    }
    return machine.registry().Open(hKey, lpSubKey, samDesired, phkResult);
}

LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR /*lpClass*/,
                               DWORD /*dwOptions*/, REGSAM samDesired,
                               const LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/,
                               PHKEY phkResult, LPDWORD lpdwDisposition) {
    auto& machine = sim::Machine::Current();
    if (LSTATUS injected = Injected("RegCreateKeyExA", ERROR_ACCESS_DENIED)) {
        if (phkResult) {
            *phkResult = nullptr;
        }
        return injected;
    }
    if (Reserved != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    if (RefusedToStandardUser(hKey, samDesired)) {
        if (phkResult) {
            *phkResult = nullptr;
        }
        return ERROR_ACCESS_DENIED;
    }
    return machine.registry().Create(hKey, lpSubKey, samDesired, phkResult, lpdwDisposition);
}

LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                LPBYTE lpData, LPDWORD lpcbData) {
    auto& machine = sim::Machine::Current();
    if (LSTATUS injected = Injected("RegQueryValueExA", ERROR_ACCESS_DENIED)) {
        return injected;
    }
    if (lpReserved) {
        return ERROR_INVALID_PARAMETER;
    }
    return machine.registry().Query(hKey, lpValueName, lpType, lpData, lpcbData);
}

LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD /*Reserved*/, DWORD dwType,
                              const BYTE* lpData, DWORD cbData) {
    auto& machine = sim::Machine::Current();
    if (LSTATUS injected = Injected("RegSetValueExA", ERROR_ACCESS_DENIED)) {
        return injected;
    }
    return machine.registry().Set(hKey, lpValueName, dwType, lpData, cbData);
}

LSTATUS WINAPI RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                             LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    auto& machine = sim::Machine::Current();
    if (LSTATUS injected = Injected("RegEnumValueA", ERROR_ACCESS_DENIED)) {
        return injected;
    }
    if (lpReserved) {
        return ERROR_INVALID_PARAMETER;
    }
    return machine.registry().Enum(hKey, dwIndex, lpValueName, lpcchValueName, lpType, lpData,
                                   lpcbData);
}

LSTATUS WINAPI RegCloseKey(HKEY hKey) {
    auto& machine = sim::Machine::Current();
    machine.trace().Record("RegCloseKey");
    if (LSTATUS injected = Injected("RegCloseKey", ERROR_INVALID_HANDLE)) {
        return injected;
    }
    return machine.registry().Close(hKey);
}
