#include "platform/sim/hotkeys.h"

#include <algorithm>

#include "platform/sim/machine.h"

namespace sim {

namespace {

constexpr UINT kModifierMask = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN;

}  // namespace

DWORD Hotkeys::CheckOwner(ThreadId thread, HWND window) const {
    if (window) {
        const Window* owner = machine_.windows().Find(window);
        if (!owner) {
            return ERROR_INVALID_WINDOW_HANDLE;
        }
        if (owner->thread != thread) {
            return ERROR_WINDOW_OF_OTHER_THREAD;
        }
    }
    return ERROR_SUCCESS;
}

DWORD Hotkeys::Register(ThreadId thread, HWND window, int id, UINT modifiers, UINT virtual_key) {
    if (const DWORD error = CheckOwner(thread, window); error != ERROR_SUCCESS) {
        return error;
    }
    Hotkey* same_id = nullptr;
    for (Hotkey& key : keys_) {
        // MOD_NOREPEAT is not part of the combination: the key is taken either way.
        if (key.virtual_key == virtual_key &&
            (key.modifiers & kModifierMask) == (modifiers & kModifierMask)) {
            return ERROR_HOTKEY_ALREADY_REGISTERED;
        }
        if (key.thread == thread && key.window == window && key.id == id) {
            same_id = &key;
        }
    }
    if (same_id) {
        same_id->modifiers = modifiers;
        same_id->virtual_key = virtual_key;
        return ERROR_SUCCESS;
    }
    keys_.push_back(
        Hotkey{window, thread, machine_.kernel().ProcessOf(thread), id, modifiers, virtual_key});
    return ERROR_SUCCESS;
}

DWORD Hotkeys::Unregister(ThreadId thread, HWND window, int id) {
    if (const DWORD error = CheckOwner(thread, window); error != ERROR_SUCCESS) {
        return error;
    }
    const auto found = std::find_if(keys_.begin(), keys_.end(), [&](const Hotkey& key) {
        return key.thread == thread && key.window == window && key.id == id;
    });
    if (found == keys_.end()) {
        return ERROR_HOTKEY_NOT_REGISTERED;
    }
    keys_.erase(found);
    return ERROR_SUCCESS;
}

bool Hotkeys::Press(UINT modifiers, UINT virtual_key) {
    const auto found = std::find_if(keys_.begin(), keys_.end(), [&](const Hotkey& key) {
        return key.virtual_key == virtual_key &&
               (key.modifiers & kModifierMask) == (modifiers & kModifierMask);
    });
    if (found == keys_.end()) {
        return false;
    }
    // Posted, as Windows posts it: the modifiers that were down, and the key, in lParam.
    const WPARAM id = static_cast<WPARAM>(found->id);
    const LPARAM keys = MAKELPARAM(modifiers & kModifierMask, virtual_key);
    WindowManager& windows = machine_.windows();
    if (found->window) {
        windows.Post(found->window, WM_HOTKEY, id, keys);
    } else {
        windows.PostToThread(found->thread, WM_HOTKEY, id, keys);
    }
    return true;
}

void Hotkeys::WindowDestroyed(HWND window) {
    std::erase_if(keys_, [window](const Hotkey& key) { return key.window == window; });
}

void Hotkeys::ProcessEnded(ProcessId process) {
    std::erase_if(
        keys_, [process](const Hotkey& key) { return key.thread != 0 && key.process == process; });
}

}  // namespace sim
