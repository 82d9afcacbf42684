// Hooks, the state of a sent message, and the windows of a thread.
#include <vector>

#include "platform/sim/api/win32_kernel.h"
#include "platform/sim/api/win32_user.h"
#include "platform/sim/api_impl/api_support.h"
#include "platform/sim/machine.h"

using sim::api::M;

DWORD WINAPI InSendMessageEx(LPVOID) {
    return M().windows().CurrentDelivery();
}

BOOL WINAPI ReplyMessage(LRESULT lResult) {
    return M().windows().Reply(lResult) ? TRUE : FALSE;
}

HHOOK WINAPI SetWindowsHookExA(int idHook, HOOKPROC lpfn, HINSTANCE, DWORD dwThreadId) {
    if (sim::api::FailsByInjection("SetWindowsHookExA", ERROR_NOT_ENOUGH_MEMORY)) {
        return nullptr;
    }
    if (idHook != WH_GETMESSAGE || lpfn == nullptr || dwThreadId != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return M().windows().AddMessageHook(lpfn);
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk) {
    if (!M().windows().RemoveMessageHook(hhk)) {
        SetLastError(ERROR_INVALID_HOOK_HANDLE);
        return FALSE;
    }
    return TRUE;
}

LRESULT WINAPI CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam) {
    return M().windows().CallNextMessageHook(hhk, nCode, wParam, lParam);
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
