// System-wide keys: the desktop's hotkey table, for the calling thread.
#include "platform/sim/api/win32_hotkeys.h"
#include "platform/sim/api_impl/api_support.h"
#include "platform/sim/machine.h"

using sim::api::M;

namespace {

BOOL Answer(DWORD error) {
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BOOL WINAPI RegisterHotKey(HWND hWnd, int id, UINT fsModifiers, UINT vk) {
    // The failure a program meets in practice: another program holds the key.
    if (sim::api::FailsByInjection("RegisterHotKey", ERROR_HOTKEY_ALREADY_REGISTERED)) {
        return FALSE;
    }
    return Answer(M().hotkeys().Register(sim::Kernel::CurrentThread(), hWnd, id, fsModifiers, vk));
}

BOOL WINAPI UnregisterHotKey(HWND hWnd, int id) {
    if (sim::api::FailsByInjection("UnregisterHotKey", ERROR_HOTKEY_NOT_REGISTERED)) {
        return FALSE;
    }
    return Answer(M().hotkeys().Unregister(sim::Kernel::CurrentThread(), hWnd, id));
}
