// The desktop's hotkey table, as RegisterHotKey keeps it: one owner per key combination, each
// key a window's (or, without a window, a thread's) under an id of the owner's choosing. A key
// pressed anywhere that matches one is posted to its owner as WM_HOTKEY.
#pragma once

#include <vector>

#include "platform/sim/api/win32_hotkeys.h"
#include "platform/sim/kernel.h"

namespace sim {

class Machine;

struct Hotkey {
    HWND window = nullptr;  // null: the thread's own key
    ThreadId thread = 0;    // 0: another program, driven by the test or console
    ProcessId process = 0;
    int id = 0;
    UINT modifiers = 0;  // as registered, MOD_NOREPEAT included
    UINT virtual_key = 0;
};

class Hotkeys {
public:
    explicit Hotkeys(Machine& machine) : machine_(machine) {}

    // RegisterHotKey for `thread`: ERROR_SUCCESS, or the error Windows gives. The same id on the
    // same window again replaces that key, unless the new combination is anyone's already.
    DWORD Register(ThreadId thread, HWND window, int id, UINT modifiers, UINT virtual_key);
    DWORD Unregister(ThreadId thread, HWND window, int id);

    // A key pressed with `modifiers` (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN) held: the key
    // that matches them exactly is posted to its owner. False when no one holds it.
    bool Press(UINT modifiers, UINT virtual_key);

    // Registered keys, oldest first.
    const std::vector<Hotkey>& All() const { return keys_; }

    // A window's keys go with it, and a process's with its end.
    void WindowDestroyed(HWND window);
    void ProcessEnded(ProcessId process);

private:
    // A window that exists and belongs to `thread` (or none, for the thread's own keys), or why
    // not.
    DWORD CheckOwner(ThreadId thread, HWND window) const;
    Machine& machine_;
    std::vector<Hotkey> keys_;
};

}  // namespace sim
