// Hooks, the state of a sent message, and the windows of a thread.
#include <vector>

#include "platform/sim/api/win32_kernel.h"
#include "platform/sim/api/win32_user.h"
#include "platform/sim/api_impl/api_support.h"
#include "platform/sim/machine.h"

using sim::api::M;

DWORD WINAPI InSendMessageEx(LPVOID) {
    return ISMEX_NOSEND;
}

HHOOK WINAPI SetWindowsHookExA(int idHook, HOOKPROC lpfn, HINSTANCE, DWORD dwThreadId) {
    if (idHook != WH_GETMESSAGE || lpfn == nullptr || dwThreadId != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    static ULONG_PTR next = 0x20000;
    return reinterpret_cast<HHOOK>(next += 4);
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk) {
    return hhk != nullptr ? TRUE : FALSE;
}

LRESULT WINAPI CallNextHookEx(HHOOK, int, WPARAM, LPARAM) {
    return 0;
}

BOOL WINAPI EnumThreadWindows(DWORD dwThreadId, WNDENUMPROC lpfn, LPARAM lParam) {
    if (lpfn == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Taken first: the callback may create or destroy windows.
    std::vector<HWND> windows;
    for (HWND hwnd : M().windows().TopLevelWindows()) {
        if (const sim::Window* window = M().windows().Find(hwnd);
            window != nullptr && window->thread == dwThreadId) {
            windows.push_back(hwnd);
        }
    }
    for (HWND hwnd : windows) {
        if (M().windows().Find(hwnd) != nullptr && !lpfn(hwnd, lParam)) {
            break;
        }
    }
    return TRUE;
}
