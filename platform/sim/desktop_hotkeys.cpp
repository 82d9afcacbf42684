// The desktop's system-wide keys: a key pressed anywhere, and another program taking one first.
#include "platform/sim/desktop.h"

namespace sim {

bool Desktop::PressKeyAnywhere(UINT modifiers, UINT virtual_key) {
    const bool taken = machine_.hotkeys().Press(modifiers, virtual_key);
    Settle();
    return taken;
}

DWORD Desktop::TakeHotkey(UINT modifiers, UINT virtual_key) {
    WindowManager& windows = machine_.windows();
    if (!windows.Find(hotkey_taker_)) {
        hotkey_taker_ = windows.Create(u"OtherProgramWindow", std::u16string(kHotkeyTakerTitle),
                                       WS_OVERLAPPED, 0, nullptr, 0, RECT{0, 0, 100, 100}, nullptr);
    }
    const DWORD error =
        machine_.hotkeys().Register(0, hotkey_taker_, next_taken_id_, modifiers, virtual_key);
    if (error == ERROR_SUCCESS) {
        ++next_taken_id_;
    }
    return error;
}

}  // namespace sim
